#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks a built library's ABI against the one recorded for its release in
# abi/ (scripts/record-abi.sh writes them). Additions pass; anything changed
# or removed fails with the report. ELF: every export carries a VELMORA_
# version and nothing else is exported, and abidiff (abigail-tools) compares
# the functions and their types with the recorded dump. PE: the export table,
# names and ordinals, holds the recorded one.
# `check_abi.sh --export-table DLL` prints a DLL's table as it is recorded.
set -uo pipefail
lib=$1 abi=${2:-}
source "$(dirname "$0")/../../scripts/lib/checks.sh"

# "NAME VERSION" for each symbol the library defines for others.
defined_dynamic_symbols() {
    readelf -W --dyn-syms "$1" |
        awk '$1 ~ /^[0-9]+:$/ && $7 != "UND" && $5 != "LOCAL" && $8 != "" {
                 split($8, part, "@+"); print part[1], part[2] }'
}

exports_versioned() {
    local unversioned
    unversioned=$(awk '$2 !~ /^VELMORA_[0-9]+\.[0-9]+$/' <<<"$1")
    [ -z "$unversioned" ] || { echo "exported without a VELMORA_ version:"; echo "$unversioned"; }
    [ -z "$unversioned" ]
}

# abidiff's status is a bit set: 4 a change, 8 an incompatible one. Added
# functions alone are not reported with --no-added-syms and so give 0.
abi_holds() {
    local report status
    report=$(abidiff --no-added-syms --d2 "$(dirname "$lib")" "$1" "$lib" 2>&1)
    status=$?
    if [ $status -ne 0 ]; then
        echo "abidiff (status $status) against $(basename "$1"):"
        echo "$report"
        return 1
    fi
    report=$(abidiff --d2 "$(dirname "$lib")" "$1" "$lib" 2>&1)
    [ -z "$report" ] || { echo "additions since $(basename "$1"):"; echo "$report"; }
    return 0
}

# "ORDINAL NAME" for each entry of a DLL's export table.
export_table() {
    local dump base
    dump=$(objdump -p "$1")
    base=$(sed -n 's/^Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' <<<"$dump" | head -n 1)
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
        sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\([^[:space:]]*\)$/\1 \2/p' |
        awk -v base="$base" '{ print $1 + base, $2 }' | sort -n
}

# Every recorded entry at its ordinal; entries past the recorded ones are
# additions.
table_holds() {
    local recorded=$1 actual=$2 missing added
    missing=$(comm -23 <(grep -v '^#' "$recorded" | sort) <(sort <<<"$actual"))
    added=$(comm -13 <(grep -v '^#' "$recorded" | sort) <(sort <<<"$actual"))
    if [ -n "$missing" ]; then
        echo "recorded in $(basename "$recorded"), not in $(basename "$lib") (ordinal name):"
        echo "$missing"
        [ -z "$added" ] || { echo "in $(basename "$lib") instead:"; echo "$added"; }
        return 1
    fi
    [ -z "$added" ] || { echo "added since $(basename "$recorded"):"; echo "$added"; }
    return 0
}

if [ "$lib" = --export-table ]; then
    export_table "$2"
    exit
fi

case $(head -c 2 "$lib" | od -An -c | tr -d ' ') in
MZ)
    actual=$(export_table "$lib")
    check "$(basename "$lib") holds the recorded export table" table_holds "$abi/velmora.dll.exports" "$actual"
    ;;
*)
    # The version names themselves are defined symbols too, absolute ones.
    symbols=$(defined_dynamic_symbols "$lib" | awk '!($1 ~ /^VELMORA_/ && $2 == "")')
    functions=$symbols
    echo "$(basename "$lib") exports $(wc -l <<<"$functions") functions at $(awk '{ print $2 }' <<<"$functions" | sort -u | tr '\n' ' ')"
    check "every export has a VELMORA_ version" exports_versioned "$symbols"
    soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
    check "abidiff finds nothing changed or removed" abi_holds "$abi/$soname.abi"
    ;;
esac
checks_summary abi
