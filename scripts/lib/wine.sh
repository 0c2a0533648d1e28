# SPDX-License-Identifier: MIT
# Wine prefixes of the project's own, one per architecture, under build/, so
# that nothing of the user's ~/.wine is touched. Source it; the variables are
# read by cmake/wine-run.sh.
export VELMORA_WINEPREFIX="${VELMORA_WINEPREFIX:-$PWD/build/wineprefix}"
export VELMORA_WINEPREFIX32="${VELMORA_WINEPREFIX32:-$PWD/build/wineprefix32}"

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

stop_wineservers() {
    WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k 2>/dev/null || true
    WINEPREFIX="$VELMORA_WINEPREFIX32" wineserver -k 2>/dev/null || true
}

start_wine64() {
    start_wineserver "$VELMORA_WINEPREFIX" win64
    trap 'stop_wineservers; rm -rf "${steps_log_dir:-/nonexistent}"' EXIT
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
