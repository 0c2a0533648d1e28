#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the packages from the builds and checks them as users get them: the
# Debian packages pass lintian and serve the examples; each Windows ZIP holds
# what a Windows user needs. Needs the linux, mingw64 and mingw32 builds.
#
# Under CI=true the Debian packages are installed system-wide with apt-get,
# serve the examples with no prefix given and are purged again, which also
# removes any velmora packages the machine had. Elsewhere they are unpacked
# into a throw-away root and the examples are built against that; run
# `CI=true bash scripts/check-packages.sh` on a machine of no other use to
# check the system-wide install.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/checks.sh
source scripts/lib/on_exit.sh
work=$(mktemp -d)
on_exit 'rm -rf "$work"'
packages=(libvelmora1 libvelmora-dev velmora-tools)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
remove_packages() { $sudo apt-get purge -y -q "${packages[@]}" >/dev/null 2>&1 || true; }

make_packages() { (cd "$1" && rm -rf packages && cpack >/dev/null); }

echo "-- Debian packages"
check "cpack makes the Debian packages" make_packages build/linux
debs=()
for package in "${packages[@]}"; do
    deb=$(ls build/linux/packages/"$package"_*.deb 2>/dev/null | head -n 1)
    check "package $package is made" [ -n "$deb" ]
    [ -n "$deb" ] && debs+=("$deb") && ls -l "$deb"
done
# The README's table of packages names each file as cpack names it.
readme_names() { grep -qF "\`$(basename "$1")\`" README.md; }
for deb in "${debs[@]}"; do
    check "README.md names $(basename "$deb")" readme_names "$deb"
done
lintian_clean() {
    local report
    report=$(lintian --tag-display-limit 0 "${debs[@]}" 2>&1 | grep -v 'root privileges')
    [ -n "$report" ] && echo "$report"
    ! grep -q '^E:' <<<"$report"
}
check "lintian reports no errors" lintian_clean
# Warnings of CPack's own making, which it offers no way to turn off: its
# postinst and postrm call ldconfig for a library under /usr/lib (the
# package's dpkg trigger does the same, as Debian does it).
explained_warnings='maintscript-calls-ldconfig'
lintian_warns_only_explained() {
    local report
    report=$(lintian --tag-display-limit 0 "${debs[@]}" 2>&1 | grep '^W:' | grep -vE "$explained_warnings")
    [ -z "$report" ] || echo "$report"
    [ -z "$report" ]
}
check "lintian warns of nothing but CPack's ldconfig calls" lintian_warns_only_explained
symbols_match() {
    local root=$work/runtime
    rm -rf "$root" && dpkg-deb -R "$1" "$root" &&
        dpkg-gensymbols -plibvelmora1 -v"$(dpkg-deb -f "$1" Version)" -P"$root" -I"$root/DEBIAN/symbols" \
            -O/dev/null -c4 -e"$(find "$root" -name 'libvelmora.so.*.*')"
}
check "dpkg-gensymbols finds the library as its symbols file says" symbols_match "${debs[0]}"
check "SHA256SUMS lists every package, each with its sum" bash -c "
    cd build/linux/packages && [ \"\$(awk '{ print \$2 }' SHA256SUMS)\" = \"\$(ls *.deb)\" ] && sha256sum -c --quiet SHA256SUMS"
check "the packages state the header's version" bash tests/inspection/check_version.sh \
    build/linux/include/velmora.h build/linux/velmora.pc build/linux/velmoraConfigVersion.cmake "${debs[@]}"

# The packages' files in a root of their own, as dpkg would lay them out.
check_unpacked() {
    local root=$work/root
    local deb
    for deb in "${debs[@]}"; do
        check "$(basename "$deb") unpacks" dpkg-deb -x "$deb" "$root"
    done
    local libdir
    libdir=$(dirname "$(find "$root" -name libvelmora.so.1 | head -n 1)")
    check "libvelmora1 holds libvelmora.so.1" [ -f "$libdir/libvelmora.so.1" ]
    check "libvelmora-dev holds the header" [ -f "$root/usr/include/velmora.h" ]
    check "velmora-tools holds the manual page" bash -c "ls '$root'/usr/share/man/man1/velmora.1* >/dev/null"
    check "libvelmora-dev holds the C interface's manual pages" bash -c "ls '$root'/usr/share/man/man3/path_mask_cmp.3* >/dev/null"
    check "find_package finds the unpacked package" bash -c "
        cmake -S examples/find_package -B '$work/find_package' -G Ninja -DCMAKE_PREFIX_PATH='$root/usr' >/dev/null &&
        cmake --build '$work/find_package' >/dev/null && LD_LIBRARY_PATH='$libdir' '$work/find_package/split_path'"
    # shellcheck disable=SC2016
    check "pkg-config finds the unpacked package" bash -c '
        export PKG_CONFIG_PATH="$2/pkgconfig" PKG_CONFIG_SYSROOT_DIR="$1"
        c++ -std=c++17 -Wall -Werror examples/pkg_config/match.cpp $(pkg-config --cflags --libs velmora) \
            -o "$3/match" && LD_LIBRARY_PATH="$2" "$3/match"' _ "$root" "$libdir" "$work"
    check "the unpacked tool answers" bash -c "
        [ \"\$(LD_LIBRARY_PATH='$libdir' '$root/usr/bin/velmora' get_file_part 'C:\\dir\\file.txt')\" = file.txt ]"
    echo "(the system-wide install is checked under CI=true: CI=true bash scripts/check-packages.sh" \
        "installs the packages with apt-get and purges them, with any velmora packages the machine had)"
}

check_system_wide() {
    on_exit remove_packages
    local absolute=() deb
    for deb in "${debs[@]}"; do absolute+=("$PWD/$deb"); done
    check "apt-get installs them" $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${absolute[@]}"

    echo "-- the examples against the system-wide install"
    check "find_package finds it with no prefix given" bash -c "
        cmake -S examples/find_package -B '$work/find_package' -G Ninja >/dev/null &&
        cmake --build '$work/find_package' >/dev/null && '$work/find_package/split_path'"
    # shellcheck disable=SC2016
    check "pkg-config finds it with no path given" bash -c '
        c++ -std=c++17 -Wall -Werror examples/pkg_config/match.cpp $(pkg-config --cflags --libs velmora) \
            -o "$0/match" && "$0/match"' "$work"
    check "the loader finds libvelmora.so.1 by name" bash -c "
        cc -std=c99 -Wall -Werror examples/runtime_load/load.c -ldl -o '$work/load' && '$work/load'"
    check "the installed tool answers" bash -c "[ \"\$(velmora get_file_part 'C:\\dir\\file.txt')\" = file.txt ]"
    check "the manual page is installed" bash -c "man -w velmora >/dev/null 2>&1"
    check "the C interface's manual pages are installed" bash -c "man -w 3 path_mask_cmp >/dev/null 2>&1"
    remove_packages
    check "apt-get removes them" bash -c "[ ! -e /usr/include/velmora.h ] && ! dpkg -s libvelmora1 >/dev/null 2>&1 && ! command -v velmora"
}

if [ "${CI:-}" = true ]; then
    check_system_wide
else
    echo "-- the packages unpacked into a throw-away root (CI is not true)"
    check_unpacked
fi

echo "-- Windows ZIPs"
windows_files=(bin/velmora.dll bin/velmora.exe lib/velmora.lib lib/libvelmora.dll.a lib/velmora.def
    include/velmora.h lib/cmake/velmora/velmoraConfig.cmake lib/pkgconfig/velmora.pc
    LICENSE README.md CHANGELOG.md)
for build in mingw64 mingw32; do
    check "cpack makes the $build ZIP" make_packages "build/$build"
    zip=$(ls build/"$build"/packages/velmora-*-windows-*.zip 2>/dev/null | head -n 1)
    check "the $build ZIP is made" [ -n "$zip" ] || continue
    ls -l "$zip"
    check "README.md names $(basename "$zip")" readme_names "$zip"
    check "SHA256SUMS of $build lists its ZIP with its sum" bash -c "
        cd build/$build/packages && [ \"\$(awk '{ print \$2 }' SHA256SUMS)\" = '$(basename "$zip")' ] &&
        sha256sum -c --quiet SHA256SUMS"
    listing=$(cmake -E tar tf "$zip")
    for file in "${windows_files[@]}"; do
        check "$(basename "$zip") holds $file" grep -qx "$file" <<<"$listing"
    done
    check "$(basename "$zip") holds a stripped DLL" bash -c "
        mkdir -p '$work/$build' && cd '$work/$build' && cmake -E tar xf '$PWD/$zip' bin/velmora.dll &&
        ! objdump -h bin/velmora.dll | grep -q '\.debug_'"
done
checks_summary packages
