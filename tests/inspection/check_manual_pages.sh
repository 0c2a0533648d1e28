#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The C interface's manual pages as man shows them: one a export of the
# export list, each rendered without a warning, its NAME line naming it as
# whatis reads it, its synopsis declaring it, and a description.
# Usage: check_manual_pages.sh PAGES_DIR EXPORT_LIST
set -uo pipefail
pages=$1
list=$2
err=$(mktemp)
trap 'rm -f "$err"' EXIT
passed=0 failed=0
fail() {
    failed=$((failed + 1))
    echo "FAILED: $*"
}
exports=$(sed -nE 's/^VELMORA_EXPORT\(([A-Za-z0-9_]+),.*/\1/p' "$list")
made=$(cd "$pages" && ls -- *.3.gz 2>/dev/null | sed 's/\.3\.gz$//' | sort)
if [ "$made" = "$(sort <<<"$exports")" ]; then
    passed=$((passed + 1))
else
    fail "the pages are not one a export: $(diff <(sort <<<"$exports") <(echo "$made") | grep '^[<>]' | tr '\n' ' ')"
fi
for name in $exports; do
    page=$pages/$name.3.gz
    [ -f "$page" ] || continue
    warnings=$(zcat "$page" | groff -man -ww -z 2>&1)
    shown=$(MANWIDTH=80 man -l "$page" 2>"$err")
    if [ -n "$warnings" ] || [ -s "$err" ]; then
        fail "$name(3) renders with warnings: $warnings $(cat "$err")"
    elif ! grep -qE "^       $name - [^ ]" <<<"$shown"; then
        fail "$name(3) has no NAME line for $name"
    elif ! sed -n '/^SYNOPSIS/,/^DESCRIPTION/p' <<<"$shown" | grep -qE "[ *]$name\("; then
        fail "$name(3) does not declare $name"
    elif [ -z "$(sed -n '/^DESCRIPTION/,/^[A-Z]/p' <<<"$shown" | sed '1d;$d' | tr -d ' \n')" ]; then
        fail "$name(3) has no description"
    else
        passed=$((passed + 1))
    fi
done
echo "manual pages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
