#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the export list against what is written by hand beside it: its
# ordinals run 1, 2, 3, ... down the list (a new export goes at the end), the
# public header declares exactly its names, and the README's export table
# gives exactly its names and ordinals.
# Usage: check_export_list.sh EXPORT-LIST HEADER README
set -uo pipefail
list=$1 header=$2 readme=$3
passed=0 failed=0
# same WHAT EXPECTED ACTUAL: passes when the two texts are equal.
same() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $1 (< the list, > the other)"
        diff <(echo "$2") <(echo "$3")
    fi
}

listed=$(sed -n 's/^VELMORA_EXPORT(\([A-Za-z_][A-Za-z0-9_]*\), *\([0-9]*\),.*/\2 \1/p' "$list")
[ -n "$listed" ] || { echo "FAILED: no exports in $list"; exit 1; }
same "ordinals run from 1 down the list" "$(seq "$(wc -l <<<"$listed")")" "$(awk '{ print $1 }' <<<"$listed")"
same "every line of the list is read" "$(grep -c '^VELMORA_EXPORT' "$list")" "$(wc -l <<<"$listed")"
names=$(awk '{ print $2 }' <<<"$listed" | sort)
same "each name is listed once" "$names" "$(sort -u <<<"$names")"

# A declaration is a line that starts with VELMORA_API and those after it up
# to its semicolon; its name is the first identifier before a parenthesis
# that is not an all-capitals macro.
declared=$(awk '/^VELMORA_API[ \t]/ { open = 1; text = "" }
                open { text = text " " $0 }
                open && /;/ { print text; open = 0 }' "$header" |
    while IFS= read -r declaration; do
        grep -oE '[A-Za-z_][A-Za-z0-9_]* *\(' <<<"$declaration" | tr -d ' (' |
            grep -vE '^[A-Z0-9_]+$' | head -n 1
    done | sort)
same "the header declares the listed exports" "$names" "$declared"

# The README's rows: | ordinal | `name` | what it does |
in_readme=$(sed -n '/^## Exports$/,/^## /p' "$readme" |
    sed -n 's/^| *\([0-9]*\) *| *`\([A-Za-z_0-9]*\)` *|.*/\1 \2/p')
same "the README's export table gives the listed names and ordinals" "$listed" "$in_readme"

echo "export list: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
