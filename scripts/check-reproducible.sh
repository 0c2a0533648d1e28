#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the commit checked out twice, from two fresh clones in folders of
# different names and depths, one after the other, and checks that every
# file listed below came out the same, byte for byte: the shared object, its
# debug file and the tool, both DLLs and both EXEs, the import libraries, the
# packages and their SHA256SUMS. Where a
# file differs it says where: diffoscope's report where it is installed, else
# the first differing bytes (cmp -l) and the sections they fall in.
#
# VELMORA_REPRODUCIBLE_PRESETS chooses the builds (default: linux mingw64
# mingw32). The tests are not built: they ship in nothing. The machine must
# not have libvelmora1 installed meanwhile: dpkg-shlibdeps reads an installed
# library's symbols file, and the tool's package would depend on it too.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/checks.sh
source scripts/lib/version.sh
read -ra presets <<<"${VELMORA_REPRODUCIBLE_PRESETS:-linux mingw64 mingw32}"
commit=$(git rev-parse HEAD)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
first=$work/one
second=$work/a-second/folder-with-another-name

# What each build makes, relative to its build folder.
made_by() {
    case $1 in
    linux) echo lib/libvelmora.so.$velmora_version lib/libvelmora.so.$velmora_version.debug bin/velmora packages/*.deb packages/SHA256SUMS ;;
    mingw*) echo bin/velmora.dll bin/velmora.dll.debug bin/velmora.exe lib/libvelmora.dll.a lib/velmora.lib \
        packages/*.zip packages/SHA256SUMS ;;
    esac
}

build_in() {
    local folder=$1 preset
    git clone -q --no-checkout "$PWD" "$folder" && git -C "$folder" checkout -q --detach "$commit" || return 1
    for preset in "${presets[@]}"; do
        echo "building $preset in $folder"
        (cd "$folder" &&
            cmake --preset "$preset" -DVELMORA_BUILD_TESTS=OFF >/dev/null &&
            cmake --build --preset "$preset" -j2 >/dev/null &&
            cd "build/$preset" && cpack >/dev/null) || { echo "the $preset build failed in $folder"; return 1; }
    done
}

# The sections of an ELF or PE file that hold the given (1-based) offsets.
sections_at() {
    local file=$1
    shift
    local index name size vma lma offset rest at found=()
    while read -r index name size vma lma offset rest; do
        [[ $index =~ ^[0-9]+$ && $offset =~ ^[0-9a-f]+$ ]] || continue
        for at in "$@"; do
            if ((at - 1 >= 16#$offset && at - 1 < 16#$offset + 16#$size)); then
                found+=("$name")
                break
            fi
        done
    done < <(objdump -h "$file" 2>/dev/null)
    echo "${found[*]:-(none: headers or padding)}"
}

explain() {
    local a=$1 b=$2
    if command -v diffoscope >/dev/null; then
        diffoscope --no-progress --text - --max-text-report-size 20000 "$a" "$b" | head -n 80
        return
    fi
    local bytes
    bytes=$(cmp -l "$a" "$b" 2>&1 | head -n 4000)
    echo "offset, byte in the first build, in the second (octal); $(cmp -l "$a" "$b" 2>/dev/null | wc -l) bytes differ:"
    head -n 16 <<<"$bytes"
    # shellcheck disable=SC2046
    echo "in sections: $(sections_at "$a" $(awk '$1 ~ /^[0-9]+$/ { print $1 }' <<<"$bytes"))"
}

same() {
    local relative=$1
    if [ ! -e "$first/$relative" ] || [ ! -e "$second/$relative" ]; then
        echo "$relative is missing from a build"
        return 1
    fi
    cmp -s "$first/$relative" "$second/$relative" && return 0
    echo "$relative differs between the builds:"
    explain "$first/$relative" "$second/$relative"
    return 1
}

echo "commit $commit, SOURCE_DATE_EPOCH ${SOURCE_DATE_EPOCH:-from the commit}"
if dpkg-query -W -f='${Status}' libvelmora1 2>/dev/null | grep -q 'install ok installed'; then
    echo "warning: libvelmora1 is installed; the tool's package may depend on it"
fi
# One umask for both: CPack gives the members of a .deb's outer archive the
# mode its temporary files got from it.
umask 022
build_in "$first" || { checks_failed=1; checks_summary reproducible; exit 1; }
mkdir -p "$(dirname "$second")"
build_in "$second" || { checks_failed=1; checks_summary reproducible; exit 1; }

for preset in "${presets[@]}"; do
    for path in $(cd "$first/build/$preset" && eval "echo $(made_by "$preset")"); do
        relative=build/$preset/$path
        check "$relative is the same in both builds" same "$relative"
        [ -e "$first/$relative" ] && (cd "$first" && sha256sum "$relative")
    done
done
checks_summary reproducible
