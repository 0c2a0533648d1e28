#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, from Debian's packages, whatever the build and the tests need and
# the machine lacks. Runs apt-get only when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ binutils pkg-config file # the Linux build, and using it installed
    googletest libgtest-dev libbenchmark-dev # tests (GoogleTest's sources cross-compile) and benchmarks
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 # the Windows DLLs
    wine64 wine32:i386                       # running the Windows tests, 64-bit and 32-bit
    qemu-system-x86 linux-image-amd64 busybox-static xz-utils # a guest for 32-bit programs
    g++-aarch64-linux-gnu g++-s390x-linux-gnu qemu-user # 64-bit ARM and big-endian Linux, tests under QEMU
    clang libclang-rt-14-dev lld llvm        # fuzzers, sanitizers, the MSVC-target consumer, velmora.lib
    dpkg-dev lintian                         # Debian packages: dependencies and checks
    abigail-tools devscripts diffoscope-minimal # release checks: ABI, hardening-check, reproducibility
    nlohmann-json3-dev scdoc                 # the command-line tool's JSON; the manual pages
    jq groff-base man-db bash-completion     # checking the tool's output, manual page and completion
    locales util-linux                       # test locales; tests run as an unprivileged user
    clang-format git                         # the formatting check
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "installing: ${missing[*]}"
# 32-bit Wine comes from Debian's i386 architecture.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
source "$(dirname "$0")/lib/apt.sh"
apt_update
export DEBIAN_FRONTEND=noninteractive
apt_install "${missing[@]}"
