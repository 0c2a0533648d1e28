#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs the examples against the library the ways users take it:
# installed into a prefix (find_package, pkg-config, loading by name, the
# tool), built static, and built inside another project as a subproject; and
# checks the Windows install layout. Each check is counted.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/checks.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Where an install put the libraries: lib, lib64 or Debian's lib/<triplet>.
library_dir() { dirname "$(dirname "$(find "$1" -name velmora.pc | head -n 1)")"; }

# Installs build directory $1 into $2 and builds the examples against it.
examples_against() {
    local build=$1 prefix=$2 kind=$3
    check "$kind: install" bash -c "cmake --install '$build' --prefix '$prefix' >/dev/null"
    local libdir
    libdir=$(library_dir "$prefix")
    check "$kind: find_package example" bash -c "
        cmake -S examples/find_package -B '$work/$kind-find_package' -G Ninja \
            -DCMAKE_PREFIX_PATH='$prefix' >/dev/null &&
        cmake --build '$work/$kind-find_package' >/dev/null &&
        LD_LIBRARY_PATH='$libdir' '$work/$kind-find_package/split_path'"
    # shellcheck disable=SC2016
    check "$kind: pkg-config example" bash -c '
        export PKG_CONFIG_PATH="$1/pkgconfig"
        c++ -std=c++17 -Wall -Werror examples/pkg_config/match.cpp $(pkg-config --cflags --libs velmora) \
            -o "$2/match" && LD_LIBRARY_PATH="$1" "$2/match"' _ "$libdir" "$work/$kind"
}

echo "-- installed shared library"
mkdir -p "$work/shared"
examples_against build/linux "$work/prefix" shared
libdir=$(library_dir "$work/prefix")
check "shared: loaded by name" bash -c "
    cc -std=c99 -Wall -Werror examples/runtime_load/load.c -ldl -o '$work/load' &&
    LD_LIBRARY_PATH='$libdir' '$work/load'"
check "shared: the installed tool" bash -c "
    [ \"\$(LD_LIBRARY_PATH='$libdir' '$work/prefix/bin/velmora' get_file_part 'C:\\dir\\file.txt')\" = file.txt ]"

echo "-- static library"
mkdir -p "$work/static"
check "static: build" bash -c "cmake --preset static >/dev/null && cmake --build --preset static >/dev/null"
examples_against build/static "$work/static-prefix" static
static_libdir=$(library_dir "$work/static-prefix")
check "static: libvelmora.a installed" [ -f "$static_libdir/libvelmora.a" ]
check "static: the pkg-config file carries VELMORA_STATIC" \
    grep -q -- '-DVELMORA_STATIC' "$static_libdir/pkgconfig/velmora.pc"
check "static: the CMake target carries VELMORA_STATIC" \
    grep -rq 'VELMORA_STATIC' "$static_libdir/cmake/velmora"
check "static: the example needs no libvelmora.so" bash -c "
    readelf -d '$work/static-find_package/split_path' >'$work/static-needed' &&
    ! grep -q libvelmora '$work/static-needed'"

echo "-- subproject"
check "subproject: configure and build" bash -c "
    cmake -S examples/subproject -B '$work/subproject' -G Ninja -DVELMORA_SOURCE_DIR='$PWD' >/dev/null &&
    cmake --build '$work/subproject' >/dev/null && '$work/subproject/split_path'"
check "subproject: adds no tests" bash -c "
    ctest --test-dir '$work/subproject' -N | grep -qx 'Total Tests: 0'"
check "subproject: builds only the library" bash -c "
    ! ninja -C '$work/subproject' -t targets all | grep -qE 'velmora_tool|_test|velmora_tour'"
check "subproject: adds no install rules" bash -c "
    cmake --install '$work/subproject' --prefix '$work/subproject-prefix' >/dev/null &&
    [ -z \"\$(find '$work/subproject-prefix' -type f 2>/dev/null)\" ]"

if [ -d build/mingw64 ]; then
    echo "-- Windows layout"
    cmake --install build/mingw64 --prefix "$work/windows" >/dev/null
    for file in bin/velmora.dll bin/velmora.exe lib/libvelmora.dll.a lib/velmora.lib lib/velmora.def \
        include/velmora.h lib/cmake/velmora/velmoraConfig.cmake lib/pkgconfig/velmora.pc LICENSE; do
        check "windows: $file installed" [ -f "$work/windows/$file" ]
    done
    check "windows: the DLL has a version resource" bash -c "
        objdump -h '$work/windows/bin/velmora.dll' | grep -q '\.rsrc'"
fi
checks_summary install
