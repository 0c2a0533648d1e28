#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program under Wine with a prefix of the project's own
# (wine-prefixes.sh says where). VELMORA_WINE_ARCH=win32 (or running this
# script as wine32-run.sh) picks the 32-bit loader and prefix.
set -euo pipefail
source "$(dirname "$0")/wine-prefixes.sh"
arch=${VELMORA_WINE_ARCH:-win64}
[ "$(basename "$0")" = wine32-run.sh ] && arch=win32
if [ "$arch" = win32 ]; then
    export WINEPREFIX=$VELMORA_WINEPREFIX32
    export WINEARCH=win32
    loader=/usr/lib/wine/wine
else
    export WINEPREFIX=$VELMORA_WINEPREFIX
    loader=/usr/lib/wine/wine64
    [ -x "$loader" ] || loader=$(command -v wine64 || command -v wine)
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$WINEPREFIX"
# No terminal for Windows programs: a console would wait on it.
if [ -t 0 ]; then exec "$loader" "$@" </dev/null; fi
exec "$loader" "$@"
