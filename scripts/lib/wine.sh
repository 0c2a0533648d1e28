# SPDX-License-Identifier: MIT
# Wine for the test scripts: the project's own prefixes (where, says
# cmake/wine-prefixes.sh), a wineserver kept up for each, and the 32-bit
# suite. Source it.
source "$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine-prefixes.sh"
source "$(dirname "${BASH_SOURCE[0]}")/on_exit.sh"

# Keeps one wineserver up for the rest of the run, so that each program
# starts quickly, and makes the prefix once.
start_wineserver() {
    local prefix=$1 arch=$2
    mkdir -p "$prefix"
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    # The prefix first: a server started on an empty folder makes it 64-bit.
    # A prefix made before is brought up to date by Wine itself.
    if [ ! -f "$prefix/system.reg" ]; then
        VELMORA_WINE_ARCH=$arch cmake/wine-run.sh wineboot --init >/dev/null 2>&1 </dev/null
    fi
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -p
    # The prefix's services start with the first program and would hold its
    # output open (and CTest with it): start them here, writing nowhere.
    VELMORA_WINE_ARCH=$arch cmake/wine-run.sh wineboot >/dev/null 2>&1 </dev/null
}

start_wine64() {
    start_wineserver "$VELMORA_WINEPREFIX" win64
    on_exit 'WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k 2>/dev/null'
}

start_wine32() {
    start_wineserver "$VELMORA_WINEPREFIX32" win32
    on_exit 'WINEPREFIX="$VELMORA_WINEPREFIX32" wineserver -k 2>/dev/null'
}

# The 32-bit and the 64-bit tool answer a few thousand calls alike (needs
# both Windows builds).
compare_architectures() {
    if [ ! -x build/mingw64/bin/velmora.exe ]; then
        echo "FAILED: no 64-bit build to compare the 32-bit answers with (build preset mingw64 first)"
        echo "architectures: 0 passed, 1 failed"
        return 1
    fi
    bash tests/inspection/architectures_agree.sh build/mingw64/bin/velmora.exe cmake/wine-run.sh \
        build/mingw32/bin/velmora.exe cmake/wine32-run.sh
}

# The 32-bit suite under 32-bit Wine on the machine this runs on, the build
# machine or the guest alike: CTest's mingw32 entries (the arguments choose
# among them), then the two architectures' answers compared.
run_windows32_suite() {
    start_wine32
    local status=0
    ctest --preset mingw32 "$@" || status=$?
    compare_architectures || status=1
    return $status
}
