#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The 32-bit and the 64-bit DLL must answer every call alike: both builds'
# tools run the same batch of a few thousand calls (every export, texts from
# a mix of prefixes, separators, drive letters, wildcards and non-ASCII
# units, sizes around the rules) and their outputs must be equal. The exports
# and their kinds come from the export list; the file-system queries and the
# error slot's reader are left out (they answer about this machine and about
# earlier calls, not about the text).
# Usage: architectures_agree.sh TOOL64 RUNNER64 TOOL32 RUNNER32
set -uo pipefail
tool64=$1 runner64=$2 tool32=$3 runner32=$4
work=$(mktemp -d)
trap '[ -n "${VELMORA_KEEP:-}" ] || rm -rf "$work"' EXIT
list=$(dirname "$0")/../../src/export_list.h
exports=$(sed -n 's/^VELMORA_EXPORT(\([A-Za-z_][A-Za-z0-9_]*\), *[0-9]*, *\([a-z_0-9]*\),.*/\1:\2/p' "$list" |
    grep -vE ':(flag_query|attr_query|code)$' | tr '\n' ' ')
[ -n "$exports" ] || { echo "FAILED: no exports read from $list"; exit 1; }

# A fixed pseudo-random batch, the same on every run.
awk -v seed=7 -v exports="$exports" 'BEGIN {
    srand(seed)
    n = split("C: c: Z: 1: \\\\?\\ \\\\?\\UNC\\ UNC\\ \\\\ \\ / dir sub file.txt a.LOG * ? *.txt ?? .. . \\\\srv\\share Ä ß 目录 x:y", piece, " ")
    m = split("*.txt *.log ?? * a* *\\* C:\\dir\\* ..\\x .\\* FILE.TXT Ä* ?:\\*", mask, " ")
    e = split(exports, export, " ")
    for (k = 1; k <= e; ++k) { split(export[k], part, ":"); export[k] = part[1]; kind[part[1]] = part[2] }
    for (i = 0; i < 3000; ++i) {
        text = ""
        parts = int(rand() * 6)
        for (k = 0; k < parts; ++k) {
            text = text piece[1 + int(rand() * n)]
            if (rand() < 0.6) text = text "\\"
        }
        name = export[1 + int(rand() * e)]
        if (kind[name] == "push") {
            line = name " \"" text "\" \"" piece[1 + int(rand() * n)] "\""
        } else if (kind[name] == "test2") {
            line = name " \"" text "\" \"" mask[1 + int(rand() * m)] "\""
        } else if (kind[name] == "code_text") {
            line = name " " int(rand() * 7)
        } else {
            line = name " \"" text "\""
        }
        if ((kind[name] == "writer" || kind[name] == "push") && rand() < 0.5) line = line " --size " int(rand() * 40)
        print line
    }
}' >"$work/batch"

# Answers and messages both count; Wine's own notes do not.
answers() {
    "$@" - <"$work/batch" 2>&1 | grep -v '^wine: '
}
answers $runner64 "$tool64" >"$work/x64"
answers $runner32 "$tool32" >"$work/x86"
calls=$(wc -l <"$work/batch")
if cmp -s "$work/x64" "$work/x86" && [ -s "$work/x64" ]; then
    echo "x86 and x64 give the same $(wc -l <"$work/x64") lines of answers to $calls calls"
    echo "architectures: 1 passed, 0 failed"
else
    echo "FAILED: x86 and x64 answer differently (first differences):"
    diff "$work/x64" "$work/x86" | head -n 20
    echo "architectures: 0 passed, 1 failed"
    exit 1
fi
