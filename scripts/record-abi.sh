#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Records the ABI of a release in abi/ from the builds (linux, mingw64): the
# shared object's as abidw (abigail-tools) dumps it, the DLL's export table
# as "ORDINAL NAME" lines. tests/inspection/check_abi.sh compares every later
# build with them. Run it when a release adds exports, never to make a
# change or a removal pass.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/version.sh
lib=build/linux/lib/libvelmora.so.$velmora_version
dll=build/mingw64/bin/velmora.dll
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
abidw --no-corpus-path --no-comp-dir-path --no-show-locs --drop-undefined-syms --type-id-style hash \
    -d "$(dirname "$lib")" "$lib" >"abi/$soname.abi"
{
    echo "# The export table of velmora.dll (32- and 64-bit alike): ordinal, name."
    bash tests/inspection/check_abi.sh --export-table "$dll"
} >abi/velmora.dll.exports
echo "recorded abi/$soname.abi and abi/velmora.dll.exports"
