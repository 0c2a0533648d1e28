#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks and prints the peer tables: the Linux build against
# glibc and 16-bit peers, with the library's own choice of scanner set and
# then with each set this processor can run, and the 64-bit and 32-bit
# Windows builds against the Windows path functions, under Wine. Run it on a
# quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
cmake --preset bench-windows >/dev/null
cmake --build --preset bench-windows >/dev/null
cmake --preset bench-windows32 >/dev/null
cmake --build --preset bench-windows32 >/dev/null

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(date -u +%Y-%m-%d)"
echo
echo "## Linux"
build/bench/bin/linux_peers
# Each scanner set in turn, the library's own choice among them, through the
# benchmarks' copy of the library (the same objects, with a seam to choose the
# set); a set this processor cannot run is said so. The names are those
# scanner_seam.cpp matches against the sets' own (kernels_*.cpp).
for set in plain sse2 avx2 avx512; do
    echo
    echo "## Linux, scanner set forced: $set"
    VELMORA_BENCH_SET=$set build/bench/bin/linux_peers || echo "(not run: this processor cannot run $set)"
done
echo
echo "## Windows (64-bit, under Wine $(/usr/lib/wine/wine64 --version 2>/dev/null || echo '?'))"
cmake/wine-run.sh build/bench-windows/bin/windows_peers.exe
echo
echo "## Windows (32-bit, under Wine $(/usr/lib/wine/wine --version 2>/dev/null || echo '?'))"
VELMORA_WINE_ARCH=win32 cmake/wine-run.sh build/bench-windows32/bin/windows_peers.exe ||
    echo "(not run: 32-bit Wine does not run on this machine)"
