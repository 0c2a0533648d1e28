#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every fuzz target for SECONDS seconds (default 30) over its committed
# corpus, two at a time, and fails if any target finds a crash, a mismatch
# or a time-out. New inputs go to a scratch folder, not into the corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
bin=build/fuzz/bin
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

run() {
    local target=$1
    local status=0
    mkdir -p "$scratch/$target"
    "$bin/fuzz_$target" "$scratch/$target" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$scratch/$target-" >"$scratch/$target.log" 2>&1 || status=$?
    local executed coverage
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target.log")
    coverage=$(grep -o 'cov: [0-9]*' "$scratch/$target.log" | tail -n 1)
    echo "fuzz_$target: ${executed:-?} executions, ${coverage:-cov: ?}, exit $status"
    if [ $status -ne 0 ]; then
        tail -n 30 "$scratch/$target.log"
        ls "$scratch"/"$target"-* 2>/dev/null || true
    fi
    return $status
}

# Every target that has a source here, so that a new one cannot be built and
# never run.
targets=()
for source in fuzz/fuzz_*.cpp; do
    target=${source#fuzz/fuzz_}
    targets+=("${target%.cpp}")
done

status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for target in "${targets[@]:i:2}"; do
        if [ -x "$bin/fuzz_$target" ]; then
            run "$target" &
            pids+=($!)
        else
            echo "fuzz_$target: not built ($bin/fuzz_$target)"
            status=1
        fi
    done
    for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status
