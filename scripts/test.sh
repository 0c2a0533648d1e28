#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every test: the Linux build plainly, without SIMD, as a static library
# and under ASan+UBSan and TSan (the plain and static suites install the
# library and build the examples against it), the fuzz targets briefly over
# their corpora, both Windows DLLs and the 64-bit static library under Wine
# (the 32-bit DLL natively or in a guest, whichever this machine allows), the
# 64-bit ARM and big-endian IBM Z builds under QEMU user emulation, the
# packages, and two builds of the commit compared byte for byte. The
# benchmarks are built, not run: timings belong to a quiet machine.
#
# Installs what is missing first. Every step runs even when an earlier one
# failed; the last line counts the tests of all of them, and the exit status
# is non-zero if any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1
source scripts/lib/steps.sh

step "Formatting: clang-format finds nothing to change" \
    bash -c 'git ls-files -z "*.c" "*.cpp" "*.h" | xargs -0 clang-format --dry-run -Werror'
step "Linux" cmake --workflow --preset linux
step "Linux from a folder with a non-ASCII name, and two runs at once" bash scripts/robustness-tests.sh
step "Linux without SIMD" cmake --workflow --preset scalar
step "Linux static library" cmake --workflow --preset static
step "Benchmarks (build only)" bash -c 'cmake --preset bench >/dev/null && cmake --build --preset bench'
step "Linux under AddressSanitizer and UndefinedBehaviorSanitizer" cmake --workflow --preset asan
step "Linux under ThreadSanitizer" cmake --workflow --preset tsan
step "Fuzz targets, ${VELMORA_FUZZ_SECONDS:-30} s each" \
    bash -c 'cmake --preset fuzz >/dev/null && cmake --build --preset fuzz && bash fuzz/run.sh "${VELMORA_FUZZ_SECONDS:-30}"'

# One Wine prefix of our own per architecture, and one wineserver kept up for
# the whole run so that each test program starts quickly.
source scripts/lib/wine.sh
start_wine64
step "64-bit Windows DLL under Wine" cmake --workflow --preset mingw64
step "64-bit Windows static library under Wine" cmake --workflow --preset mingw64-static
step "32-bit Windows DLL under Wine" bash scripts/windows32-tests.sh
step "64-bit ARM Linux (NEON) under QEMU" cmake --workflow --preset aarch64
step "Big-endian IBM Z Linux under QEMU" cmake --workflow --preset s390x
step "Packages: arm64 Debian packages from the ARM cross build, by contents" \
    bash scripts/check-arm64-packages.sh
step "Packages: Debian packages (system-wide under CI=true, else unpacked), Windows ZIPs" \
    bash scripts/check-packages.sh
step "Reproducible: the commit built twice, in two folders at two times, gives the same files" \
    bash scripts/check-reproducible.sh

summary
