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
start_wineserver "$VELMORA_WINEPREFIX32" win32
echo "guest: Wine ready after $SECONDS s"
trap 'WINEPREFIX="$VELMORA_WINEPREFIX32" wineserver -k 2>/dev/null || true' EXIT
# One test program per guest processor: emulated, each is slow on its own.
ctest --preset mingw32 --label-exclude inspection --parallel "$(nproc)"
compare_architectures
