#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks and prints both peer tables: the Linux build against
# glibc and the literal algorithms, and the 64-bit Windows build against the
# Windows path functions, under Wine. Run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
cmake --preset bench-windows >/dev/null
cmake --build --preset bench-windows >/dev/null

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(date -u +%Y-%m-%d)"
echo
echo "## Linux"
build/bench/bin/linux_peers
echo
echo "## Windows (64-bit, under Wine $(/usr/lib/wine/wine64 --version 2>/dev/null || echo '?'))"
cmake/wine-run.sh build/bench-windows/bin/windows_peers.exe
