#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian packages of the 64-bit ARM cross build and checks them by
# their contents, as this machine cannot install them: each is for arm64,
# depends on the target's packages, holds its files under Debian's multiarch
# folders, and its programs and library are stripped ARM code. Needs the aarch64 build.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/checks.sh
source scripts/lib/version.sh
build=build/aarch64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
libdir=usr/lib/aarch64-linux-gnu

make_packages() { (cd "$build" && rm -rf packages && cpack >"$work/cpack.log" 2>&1) || ! cat "$work/cpack.log"; }
check "cpack makes the arm64 packages" make_packages
declare -A holds=(
    [libvelmora1]="./$libdir/libvelmora.so.1 ./$libdir/libvelmora.so.$velmora_version"
    [libvelmora-dev]="./usr/include/velmora.h ./$libdir/libvelmora.so ./$libdir/pkgconfig/velmora.pc
        ./$libdir/cmake/velmora/velmoraConfig.cmake"
    [velmora-tools]="./usr/bin/velmora ./usr/share/man/man1/velmora.1.gz
        ./usr/share/bash-completion/completions/velmora"
)
declare -A code=([libvelmora1]="./$libdir/libvelmora.so.$velmora_version" [velmora-tools]="./usr/bin/velmora")
for package in libvelmora1 libvelmora-dev velmora-tools; do
    deb=$(ls "$build"/packages/"$package"_*_arm64.deb 2>/dev/null | head -n 1)
    check "package $package is made for arm64" [ -n "$deb" ] || continue
    check "$package says Architecture: arm64" bash -c "dpkg-deb -I '$deb' | grep -qx ' Architecture: arm64'"
    check "$package depends on no package of the cross compiler" \
        bash -c "! dpkg-deb -f '$deb' Depends | grep -q -- '-cross'"
    listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
    for file in ${holds[$package]}; do
        check "$package holds ${file#./}" grep -qx -- "$file" <<<"$listing"
    done
    if [ -n "${code[$package]:-}" ]; then
        dpkg-deb -x "$deb" "$work/$package"
        binary="$work/$package/${code[$package]#./}"
        check "$package: ${code[$package]#./} is stripped ARM code" bash -c "
            file -b '$binary' | grep -q 'ARM aarch64' && ! aarch64-linux-gnu-objdump -h '$binary' | grep -q '\.debug_'"
    fi
done
checks_summary arm64-packages
