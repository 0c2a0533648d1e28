#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The 32-bit and the 64-bit DLL must answer every call alike: both builds'
# tools run the same batch of a few thousand calls (every export, texts from
# a mix of prefixes, separators, drive letters, wildcards and non-ASCII
# units, sizes around the rules) and their outputs must be equal.
# Usage: architectures_agree.sh TOOL64 RUNNER64 TOOL32 RUNNER32
set -uo pipefail
tool64=$1 runner64=$2 tool32=$3 runner32=$4
work=$(mktemp -d)
trap '[ -n "${VELMORA_KEEP:-}" ] || rm -rf "$work"' EXIT

# A fixed pseudo-random batch, the same on every run.
awk -v seed=7 'BEGIN {
    srand(seed)
    n = split("C: c: Z: 1: \\\\?\\ \\\\?\\UNC\\ UNC\\ \\\\ \\ / dir sub file.txt a.LOG * ? *.txt ?? .. . \\\\srv\\share Ä ß 目录 x:y", piece, " ")
    m = split("*.txt *.log ?? * a* *\\* C:\\dir\\* ..\\x .\\* FILE.TXT Ä* ?:\\*", mask, " ")
    e = split("add_NTFS_path_prefix rem_NTFS_path_prefix rem_UNC_path_prefix path_pop path_push get_drive_part get_file_part get_path_part has_NTFS_path_prefix is_UNC_path is_absolute is_mask path_mask_cmp get_error_text", export, " ")
    for (i = 0; i < 3000; ++i) {
        text = ""
        parts = int(rand() * 6)
        for (k = 0; k < parts; ++k) {
            text = text piece[1 + int(rand() * n)]
            if (rand() < 0.6) text = text "\\"
        }
        name = export[1 + int(rand() * e)]
        if (name == "path_push") {
            line = name " \"" text "\" \"" piece[1 + int(rand() * n)] "\""
        } else if (name == "path_mask_cmp") {
            line = name " \"" text "\" \"" mask[1 + int(rand() * m)] "\""
        } else if (name == "get_error_text") {
            line = name " " int(rand() * 7)
        } else {
            line = name " \"" text "\""
        }
        if (name ~ /prefix$|pop|push/ && rand() < 0.5) line = line " --size " int(rand() * 40)
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
