#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The 32-bit suite as it runs inside the guest: the programs are built
# already, the prefix lies in the shared work tree so that it is made once.
set -eEuo pipefail
# A step that fails says which: the guest's output is all there is to go on.
trap 'echo "guest: exit status $? from: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
source scripts/lib/wine.sh
echo "guest: $(uname -srm), $(/usr/lib/wine/wine --version)"
# What only reads the build ran on the build machine. One test program per
# guest processor: emulated, each is slow on its own.
run_windows32_suite --label-exclude inspection --parallel "$(nproc)"
