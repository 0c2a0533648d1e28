# SPDX-License-Identifier: MIT
# The one place that says where the project's Wine prefixes live unless the
# caller names others: under the work tree's build/, one per architecture, so
# that nothing of the user's ~/.wine is touched. Sourced by cmake/wine-run.sh
# and scripts/lib/wine.sh.
velmora_wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VELMORA_WINEPREFIX="${VELMORA_WINEPREFIX:-$velmora_wine_root/build/wineprefix}"
export VELMORA_WINEPREFIX32="${VELMORA_WINEPREFIX32:-$velmora_wine_root/build/wineprefix32}"
