#!/usr/bin/env bash
# Runs every test: the Linux build, the 64-bit Windows build under Wine, and
# the 32-bit Windows build's export table (32-bit programs cannot run here).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset mingw32

cmake --workflow --preset linux

# The benchmarks are built, not run: timings belong to a quiet machine.
cmake --preset bench >/dev/null
cmake --build --preset bench

# One Wine prefix of our own, and one wineserver kept up for the whole run so
# that each test program starts quickly.
export VELMORA_WINEPREFIX="${VELMORA_WINEPREFIX:-$PWD/build/wineprefix}"
mkdir -p "$VELMORA_WINEPREFIX"
WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k 2>/dev/null || true
WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -p
trap 'WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k 2>/dev/null || true' EXIT
cmake/wine-run.sh wineboot --init >/dev/null 2>&1
cmake --workflow --preset mingw64
