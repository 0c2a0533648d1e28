#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Linux suite where paths hold characters beyond ASCII, and two runs of
# it at once:
#   1. a clone of this checkout under a folder with such a name, built with
#      the linux preset and tested with TMPDIR under another such folder;
#   2. the suite of build/linux run twice in parallel: each test works in a
#      folder of its own, so both runs must pass (but for the install checks,
#      whose prefix is the build folder's).
# Each run ends with CTest's closing line, which the test run counts.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

place=$(mktemp -d)
trap 'rm -rf "$place"' EXIT
folder="$place/jörg/ß-目录"
temporary="$place/tmp-ö-😀"
mkdir -p "$folder" "$temporary"
# file_query_unprivileged runs a program of the clone as nobody, who must reach it.
chmod -R a+rx "$place"

echo "== the suite in a clone under $folder, TMPDIR=$temporary"
if git clone -q "$PWD" "$folder/velmora" &&
    (cd "$folder/velmora" && cmake --preset linux >/dev/null && cmake --build --preset linux -j2 >/dev/null); then
    TMPDIR="$temporary" ctest --test-dir "$folder/velmora/build/linux" --output-on-failure || status=1
else
    echo "the clone did not build"
    status=1
fi

echo "== build/linux twice at once"
# The install and the examples built against it share one prefix in the
# build folder, which each run lays anew: they run once, in the first part.
shared_folders='^(install|installed_.*|subproject.*)$'
if cmake --preset linux >/dev/null && cmake --build --preset linux -j2 >/dev/null; then
    ctest --test-dir build/linux --output-on-failure -E "$shared_folders" >"$place/first.log" 2>&1 &
    first=$!
    ctest --test-dir build/linux --output-on-failure -E "$shared_folders" >"$place/second.log" 2>&1 &
    second=$!
    wait $first || status=1
    wait $second || status=1
    for run in first second; do
        echo "-- $run run"
        cat "$place/$run.log"
    done
else
    echo "build/linux did not build"
    status=1
fi
exit $status
