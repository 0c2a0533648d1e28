# SPDX-License-Identifier: MIT
# The guest's kernel and initramfs. Source it.

# The modules the guest mounts its shares with; their dependencies are added
# from modules.dep. Those the kernel has built in are simply not found.
guest_modules=(virtio_pci 9pnet_virtio 9p overlay)

# Prints the version of the newest kernel in /boot whose modules exist.
pick_kernel() {
    local kernel version
    for kernel in /boot/vmlinuz-*; do
        version=${kernel#/boot/vmlinuz-}
        [ -f "/lib/modules/$version/modules.dep" ] && echo "$version"
    done | sort -V | tail -n 1 | grep .
}

# Prints the modules (paths from modules.dep) of the given names, each after
# the modules it needs.
resolve_modules() {
    local dep=$1
    shift
    local name line target needs seen=" " i
    for name in "$@"; do
        line=$(grep -E "(^|/)${name//_/[_-]}\.ko(\.[a-z]+)?:" "$dep") || continue
        target=${line%%:*}
        read -ra needs <<<"${line#*:}"
        # modules.dep lists a module's needs last-loaded first.
        for ((i = ${#needs[@]} - 1; i >= 0; i--)); do
            case "$seen" in *" ${needs[i]} "*) continue ;; esac
            seen+="${needs[i]} "
            echo "${needs[i]}"
        done
        case "$seen" in *" $target "*) continue ;; esac
        seen+="$target "
        echo "$target"
    done
}

# A static busybox: the initramfs has no libraries.
find_static_busybox() {
    local candidate
    for candidate in /bin/busybox /usr/bin/busybox; do
        [ -x "$candidate" ] && ! readelf -l "$candidate" 2>/dev/null | grep -q INTERP &&
            echo "$candidate" && return 0
    done
    return 1
}

# Copies a module into place uncompressed: busybox insmod reads plain ones.
copy_module() {
    local from=$1 to=$2
    case "$from" in
    *.ko.xz) xz -dc "$from" >"$to" ;;
    *.ko.zst) zstd -qdc "$from" >"$to" ;;
    *.ko.gz) gzip -dc "$from" >"$to" ;;
    *) cp "$from" "$to" ;;
    esac
}

# Builds the initramfs for a kernel version into a folder, once for each set
# of inputs, and prints its path.
build_initramfs() {
    local version=$1 folder=$2
    local here modules=/lib/modules/$version busybox key
    here=$(dirname "${BASH_SOURCE[0]}")
    busybox=$(find_static_busybox) || {
        echo "error: guest: no static busybox (Debian package busybox-static)" >&2
        return 1
    }
    key=$( (
        cat "$here/init" "${BASH_SOURCE[0]}"
        stat -c '%n %s %Y' "$busybox" "$modules/modules.dep"
    ) | sha256sum | cut -c1-16)
    local image=$folder/initramfs-$key.cpio
    if [ ! -f "$image" ]; then
        local tree
        tree=$(mktemp -d)
        mkdir -p "$tree/bin" "$tree/modules" "$tree/proc" "$tree/sys" "$tree/dev"
        cp "$busybox" "$tree/bin/busybox"
        cp "$here/init" "$tree/init"
        chmod 755 "$tree/init"
        local module name
        for module in $(resolve_modules "$modules/modules.dep" "${guest_modules[@]}"); do
            name=$(basename "$module")
            name=${name%%.ko*}.ko
            copy_module "$modules/$module" "$tree/modules/$name"
            echo "$name" >>"$tree/modules/order"
        done
        [ -s "$tree/modules/order" ] || {
            echo "error: guest: none of ${guest_modules[*]} in $modules" >&2
            rm -rf "$tree"
            return 1
        }
        mkdir -p "$folder"
        rm -f "$folder"/initramfs-*.cpio
        (cd "$tree" && find . | "$busybox" cpio -o -H newc 2>/dev/null) >"$image.part" &&
            mv "$image.part" "$image"
        rm -rf "$tree"
        [ -f "$image" ] || return 1
    fi
    echo "$image"
}
