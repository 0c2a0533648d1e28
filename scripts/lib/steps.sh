# SPDX-License-Identifier: MIT
# Steps of a test run, each counted. Source it, call `step NAME COMMAND...`
# for each step and `summary` at the end.
#
# A step's tests are counted from what it prints: CTest's closing line
# ("N tests failed out of M"), else the lines "N passed, N failed" of our own
# scripts, else the step counts as one test by its exit status. A step that
# exits non-zero is never counted as wholly passed.

steps_passed=0
steps_failed=0
steps_failed_names=()
steps_log_dir=$(mktemp -d)
source "$(dirname "${BASH_SOURCE[0]}")/on_exit.sh"
on_exit 'rm -rf "$steps_log_dir"'

# Counts in a step's log: prints "passed failed", or nothing if it has none.
count_log() {
    local log=$1
    if grep -qE '[0-9]+ tests failed out of [0-9]+' "$log"; then
        sed -nE 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/p' "$log" |
            awk '{ failed += $1; passed += $2 - $1 } END { print passed, failed }'
    elif grep -qE '^([A-Za-z0-9_-]+: )?[0-9]+ passed, [0-9]+ failed' "$log"; then
        sed -nE 's/^([A-Za-z0-9_-]+: )?([0-9]+) passed, ([0-9]+) failed.*/\2 \3/p' "$log" |
            awk '{ passed += $1; failed += $2 } END { print passed, failed }'
    fi
}

step() {
    local name=$1
    shift
    printf '\n==== %s\n' "$name"
    local log="$steps_log_dir/step.log" status=0
    local started=$SECONDS
    "$@" 2>&1 | tee "$log" || status=$?
    local counts passed failed
    counts=$(count_log "$log")
    if [ -n "$counts" ]; then
        read -r passed failed <<<"$counts"
    elif [ $status -eq 0 ]; then
        passed=1 failed=0
    else
        passed=0 failed=1
    fi
    [ $status -ne 0 ] && [ "$failed" -eq 0 ] && failed=1
    steps_passed=$((steps_passed + passed))
    steps_failed=$((steps_failed + failed))
    [ "$failed" -gt 0 ] && steps_failed_names+=("$name")
    printf '==== %s: %d passed, %d failed (%d s)\n' "$name" "$passed" "$failed" $((SECONDS - started))
}

summary() {
    printf '\n'
    local name
    for name in "${steps_failed_names[@]}"; do
        printf 'failed step: %s\n' "$name"
    done
    printf '%d passed, %d failed\n' "$steps_passed" "$steps_failed"
    [ "$steps_failed" -eq 0 ]
}
