#!/usr/bin/env bash
# Runs every test: the 32-bit Windows DLL's export table (32-bit programs
# cannot run here), the Linux build plainly and under ASan+UBSan and TSan, the
# fuzz targets briefly over their corpora, and the 64-bit Windows build under
# Wine. The benchmarks are built, not run: timings belong to a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n==== %s\n' "$*"; }

step "32-bit Windows DLL"
cmake --workflow --preset mingw32

step "Linux"
cmake --workflow --preset linux

step "Benchmarks (build only)"
cmake --preset bench >/dev/null
cmake --build --preset bench

step "Linux under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --workflow --preset asan

step "Linux under ThreadSanitizer"
cmake --workflow --preset tsan

step "Fuzz targets, ${VELMORA_FUZZ_SECONDS:-30} s each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
bash fuzz/run.sh "${VELMORA_FUZZ_SECONDS:-30}"

step "Installed package: examples through find_package, pkg-config and loading by name"
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64
bash scripts/check-install.sh

step "64-bit Windows DLL under Wine"
# One Wine prefix of our own, and one wineserver kept up for the whole run so
# that each test program starts quickly.
export VELMORA_WINEPREFIX="${VELMORA_WINEPREFIX:-$PWD/build/wineprefix}"
mkdir -p "$VELMORA_WINEPREFIX"
WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k 2>/dev/null || true
WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -p
trap 'WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k 2>/dev/null || true' EXIT
cmake/wine-run.sh wineboot --init >/dev/null 2>&1 </dev/null
cmake --workflow --preset mingw64
