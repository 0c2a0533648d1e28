#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine with the project's own prefix, so
# that nothing of the user's ~/.wine is touched.
set -euo pipefail
export WINEPREFIX="${VELMORA_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora/wine64}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$WINEPREFIX"
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=$(command -v wine64 || command -v wine)
# No terminal for Windows programs: a console would wait on it.
if [ -t 0 ]; then exec "$loader" "$@" </dev/null; fi
exec "$loader" "$@"
