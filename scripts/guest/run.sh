#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one command in a throw-away QEMU guest whose kernel runs 32-bit
# programs: usage `run.sh COMMAND [ARG...]`. The guest sees this machine's
# root read-only (its writes land in memory and vanish), the work tree
# read-write at the same path, the same environment and current directory.
# The command's output streams here; the exit status is the command's.
#
# TCG only: the nested /dev/kvm of our CI machines hangs a stock kernel.
# VELMORA_GUEST_TIMEOUT (seconds, default 2400) bounds the whole guest.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
worktree=$(cd "$here/../.." && pwd -P)
timeout_seconds=${VELMORA_GUEST_TIMEOUT:-2400}
memory=${VELMORA_GUEST_MEMORY:-4G}
cpus=${VELMORA_GUEST_CPUS:-$(nproc)}

die() {
    echo "error: guest: $*" >&2
    exit 1
}

[ $# -gt 0 ] || die "usage: $0 COMMAND [ARG...]"
command -v qemu-system-x86_64 >/dev/null ||
    die "qemu-system-x86_64 is missing (Debian package qemu-system-x86; scripts/install-deps.sh installs it)"

# shellcheck source=initramfs.sh
source "$here/initramfs.sh"
kernel_version=$(pick_kernel) ||
    die "no kernel in /boot with its modules in /lib/modules (Debian package linux-image-amd64)"
kernel=/boot/vmlinuz-$kernel_version
[ -r "$kernel" ] || die "cannot read $kernel (it is readable by root only)"
initramfs=$(build_initramfs "$kernel_version" "$worktree/build/guest/$kernel_version") ||
    die "cannot build the guest's initramfs"

control=$(mktemp -d "${TMPDIR:-/tmp}/velmora-guest.XXXXXX")
qemu_pid=""
cleanup() {
    [ -z "$qemu_pid" ] || kill "$qemu_pid" 2>/dev/null || true
    rm -rf "$control"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# What the guest runs, in bash: the environment, the directory, the command.
write_command() {
    local name
    echo 'set +e'
    for name in $(compgen -e); do
        case "$name" in
        _ | PWD | OLDPWD | SHLVL | DISPLAY | WAYLAND_DISPLAY | XDG_RUNTIME_DIR | \
            DBUS_SESSION_BUS_ADDRESS | SSH_*) ;;
        *) printf 'export %s=%q\n' "$name" "${!name}" ;;
        esac
    done
    printf 'cd %q || exit 1\n' "$PWD"
    printf 'exec'
    printf ' %q' "$@"
    printf '\n'
}
write_command "$@" >"$control/command"
printf '%s\n' "$worktree" >"$control/worktree"
: >"$control/console"
: >"$control/output"

share() {
    local tag=$1 path=$2 options=${3:-}
    printf '%s\n' -fsdev "local,id=$tag,path=$path,security_model=none,multidevs=remap$options" \
        -device "virtio-9p-pci,fsdev=$tag,mount_tag=$tag"
}
mapfile -t shares < <(
    share hostroot / ,readonly=on
    share worktree "$worktree"
    share control "$control"
)

# -smap: with SMAP on, every Wine process is killed at a user-mode iret.
# mitigations=off: page-table isolation costs dearly under TCG.
timeout --foreground --kill-after=10 "$timeout_seconds" \
    qemu-system-x86_64 -accel tcg,thread=multi -cpu max,-smap -smp "$cpus" -m "$memory" \
    -nodefaults -no-user-config -display none -nic none -no-reboot \
    -kernel "$kernel" -initrd "$initramfs" \
    -append "console=ttyS0 quiet panic=-1 mitigations=off" \
    -chardev "file,id=console,path=$control/console" -serial chardev:console \
    "${shares[@]}" </dev/null &
qemu_pid=$!

started=$SECONDS
tail -q -n +1 -f --pid="$qemu_pid" "$control/console" "$control/output" || true
qemu_status=0
wait "$qemu_pid" || qemu_status=$?
qemu_pid=""

if [ "$qemu_status" -eq 124 ] || [ "$qemu_status" -eq 137 ]; then
    die "the guest ran past ${timeout_seconds} s (VELMORA_GUEST_TIMEOUT) and was stopped"
fi
[ -s "$control/status" ] ||
    die "the guest stopped without the command's exit status (QEMU exited with $qemu_status after $((SECONDS - started)) s)"
exit "$(cat "$control/status")"
