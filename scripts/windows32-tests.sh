#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the 32-bit Windows DLL and its test programs and runs the whole
# suite under 32-bit Wine: on this machine when its kernel runs 32-bit
# programs, otherwise inside a throw-away guest under QEMU that can. It never
# passes without running: if neither way is possible it fails and says why.
# VELMORA_I686_WAY=guest forces the guest (to test that path), =native the
# machine itself.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/wine.sh

loader=/usr/lib/wine/wine

# Whether this machine's kernel runs 32-bit programs: the 32-bit Wine loader
# is one, so asking it its version tells.
runs_32_bit_natively() {
    [ -x "$loader" ] && "$loader" --version >/dev/null 2>&1
}

way=${VELMORA_I686_WAY:-}
if [ -z "$way" ]; then
    if runs_32_bit_natively; then way=native; else way=guest; fi
fi

cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32

started=$SECONDS
case "$way" in
native)
    if ! runs_32_bit_natively; then
        echo "error: this machine cannot run 32-bit programs ($loader --version fails);" \
            "run without VELMORA_I686_WAY=native to use the guest" >&2
        exit 1
    fi
    echo "32-bit suite: running natively under $($loader --version)"
    run_windows32_suite
    ;;
guest)
    echo "32-bit suite: running in a QEMU guest (this machine's kernel does not run 32-bit programs" \
        "or VELMORA_I686_WAY=guest was given)"
    # What only reads the build runs here; the guest runs the programs.
    status=0
    ctest --preset mingw32 --label-regex inspection || status=$?
    bash scripts/guest/run.sh bash scripts/windows32-tests-in-guest.sh || status=$?
    [ $status -eq 0 ]
    ;;
*)
    echo "error: VELMORA_I686_WAY must be native or guest, not '$way'" >&2
    exit 2
    ;;
esac
echo "32-bit suite ($way): $((SECONDS - started)) s"
