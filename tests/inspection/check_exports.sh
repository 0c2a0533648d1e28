#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks a built library's export table against the export list
# (src/export_list.h): exactly the listed names, undecorated, and on Windows
# each at its ordinal, importing nothing but system DLLs.
# Usage: check_exports.sh LIBRARY EXPORT-LIST
set -euo pipefail
lib=$1 list=$2

expected=$(sed -n 's/^VELMORA_EXPORT(\([A-Za-z_][A-Za-z0-9_]*\), *\([0-9]*\),.*/\2 \1/p' "$list" | sort -n)
[ -n "$expected" ] || { echo "no exports listed in $list"; exit 1; }

case $(head -c 2 "$lib" | od -An -c | tr -d ' ') in
MZ)
    dump=$(objdump -p "$lib")
    base=$(sed -n 's/^Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' <<<"$dump" | head -n 1)
    # "[   3] name": the index past the ordinal base.
    actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
        sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\([^[:space:]]*\)$/\1 \2/p' |
        awk -v base="$base" '{ print $1 + base, $2 }' | sort -n)
    imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | sort -u)
    bad_imports=$(grep -viE '^(kernel32|msvcrt|user32|advapi32|ntdll|api-ms-win-[a-z0-9-]*)\.dll$' <<<"$imports" || true)
    if [ -n "$bad_imports" ]; then
        echo "imports non-system DLLs:"; echo "$bad_imports"; exit 1
    fi
    ;;
*)
    # Without their versions (name@@VELMORA_1.0), and without the versions'
    # own absolute symbols.
    actual=$(nm -D --defined-only "$lib" | awk '$2 != "A" { sub("@.*", "", $3); print $3 }' | sort)
    expected=$(awk '{ print $2 }' <<<"$expected" | sort)
    ;;
esac

if [ "$actual" != "$expected" ]; then
    echo "export table of $lib differs from $list"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
echo "exports of $(basename "$lib") match $(basename "$list") ($(wc -l <<<"$actual") names)"
