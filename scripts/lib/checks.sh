# SPDX-License-Identifier: MIT
# Counted checks for our own test scripts. Source it; `check WHAT COMMAND...`
# runs one check, `checks_summary NAME` prints "NAME: N passed, N failed" and
# fails if any check did.
checks_passed=0
checks_failed=0

check() {
    local what=$1
    shift
    if "$@"; then
        checks_passed=$((checks_passed + 1))
        echo "ok: $what"
    else
        checks_failed=$((checks_failed + 1))
        echo "FAILED: $what"
    fi
}

checks_summary() {
    echo "$1: $checks_passed passed, $checks_failed failed"
    [ "$checks_failed" -eq 0 ]
}
