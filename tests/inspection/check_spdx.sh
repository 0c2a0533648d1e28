#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source file of the project states its licence in its first lines.
set -uo pipefail
cd "$(dirname "$0")/../.."
missing=$(git ls-files -- '*.c' '*.cpp' '*.h' '*.in' '*.cmake' '*CMakeLists.txt' '*.sh' '*.def' \
        '*.scd' '*.bash' 'tools/completion/*' '.ci/run' |
    while read -r file; do
        [ -f "$file" ] || continue
        head -n 3 "$file" | grep -q 'SPDX-License-Identifier: MIT' || echo "$file"
    done)
total=$(git ls-files -- '*.c' '*.cpp' '*.h' '*.in' '*.cmake' '*CMakeLists.txt' '*.sh' '*.def' \
    '*.scd' '*.bash' 'tools/completion/*' '.ci/run' | wc -l)
if [ -n "$missing" ]; then
    echo "without an SPDX line:"
    echo "$missing"
    echo "spdx: 0 passed, 1 failed"
    exit 1
fi
echo "all $total source files carry the SPDX line"
echo "spdx: 1 passed, 0 failed"
