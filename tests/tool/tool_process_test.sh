#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The command-line tool as a process: what reaches it through its command
# line and its standard streams, how it exits, and the locale it takes from
# the environment (its calls, batch mode and help are tool_test.cpp's); then
# the manual page and the completion made beside it.
# Usage: tool_process_test.sh TOOL VERSION [RUNNER...] (RUNNER runs Windows
# programs). Optional, from the environment: VELMORA_MANUAL_PAGE (the made
# velmora.1), VELMORA_COMPLETION (the bash completion), VELMORA_HEADER,
# VELMORA_EXTRACT and VELMORA_EXPORT_LIST (the header, the script that takes
# the contracts from it, and the export list).
set -u
tool=$1
version=$2
shift 2
runner=("$@")
passed=0 failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
err=$work/err

velmora() { "${runner[@]}" "$tool" "$@"; }

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAILED: $*"
}
# check NAME COMMAND...: passes when the command succeeds.
check() {
    local name=$1
    shift
    if "$@"; then pass; else fail "$name"; fi
}

# expect STATUS STDOUT STDERR-PATTERN ARGUMENT... (an empty pattern takes any)
expect() {
    local status=$1 out=$2 pattern=$3
    shift 3
    local actual actual_status
    actual=$(velmora "$@" 2>"$err")
    actual_status=$?
    if [ "$actual_status" = "$status" ] && [ "$actual" = "$out" ] &&
        { [ -z "$pattern" ] || grep -qE -- "$pattern" "$err"; }; then
        pass
    else
        local shown="velmora $*"
        fail "${shown:0:200}
  status $actual_status (want $status), stdout '$actual' (want '$out')
  stderr: $(cat "$err") (want /$pattern/)"
    fi
}

# ---- The command line and the exit statuses ---------------------------------------
expect 0 'file.txt' '' get_file_part 'C:\dir\file.txt'
expect 1 '0' '' has_NTFS_path_prefix 'C:\dir'
expect 2 '' 'did you mean is_mask' ismask x
# Non-ASCII text and spaces: a Windows program receives them as UTF-16.
expect 0 'Ünïcødé\日本' '' path_pop 'Ünïcødé\日本\x'
expect 0 'C:\my dir\a b' '' path_push 'C:\my dir' 'a b'
# --version: the tool's version, the loaded library's with its file, and the
# scanner set, one a line.
version_says_all() {
    local out
    out=$(velmora --version 2>/dev/null) || return 1
    [ "$(sed -n 1p <<<"$out")" = "velmora $version" ] &&
        grep -qE "^library $version \((.*velmora[^/\\]*|linked into the tool)\)\$" <<<"$out" &&
        grep -qxE 'scanners (plain|SSE2|AVX2|AVX-512BW|NEON)' <<<"$out" ||
        { echo "velmora --version printed:"; echo "$out"; return 1; }
}
check "--version names both versions, the library's file and the scanner set" version_says_all
# A fresh process holds no error code.
expect 0 '0' '' get_err_code
if [ ${#runner[@]} -eq 0 ]; then
    # Bytes that are not UTF-8, and more units than a Windows command line holds.
    expect 2 '' 'argument 1 is not valid UTF-8' get_file_part $'C:\\\xff'
    expect 1 '' 'get_path_part failed: code 2: Buffer is too small' \
        get_path_part "\\\\?\\C:\\$(printf '%033000d' 0)"
fi

# ---- Standard input and output: bytes as they are, in order -----------------------
printf 'get_file_part C:\\d\\f\n\npath_pop x\nis_mask "a b*"\n' | velmora - >"$work/out" 2>"$err"
status=$?
check "batch: exit status 2 with a blank line" [ "$status" -eq 2 ]
printf 'f\n\n\n1\n' >"$work/want"
check "batch: one answer line per input line, no carriage returns" cmp -s "$work/out" "$work/want"
check "batch: line numbers on standard error" [ "$(grep -v '^wine: ' "$err")" = "$(printf '%s\n' \
    'velmora: line 2: a blank line names no export' \
    'velmora: line 3: path_pop failed: code 1: The string is not conformed path')" ]
printf 'is_mask "a*"\0get_file_part "C:\\a\\b\nc"\0path_pop x\0' | velmora -0 - >"$work/out" 2>/dev/null
check "-0: answers end with NUL" [ "$(od -An -c "$work/out" | tr -s ' \n' ' ')" = " 1 \\0 b \\n c \\0 \\0 " ]

# ---- Locale: the user's, taken from the environment at start ----------------------
# Through batch input, whose bytes reach the tool as they are: Wine decodes a
# command line by the Unix locale. Wine takes the Windows user locale from the
# Unix one, and every Windows locale folds beyond ASCII, so the C locale's
# ASCII folding is Linux's alone.
# locale_case LOCALE WANT-ANSWER CALL
locale_case() {
    local got
    got=$(printf '%s\n' "$3" | LC_ALL=$1 velmora - 2>/dev/null)
    if [ "$got" = "$2" ]; then pass; else fail "LC_ALL=$1 velmora: $3 gave '$got', want '$2'"; fi
}
[ ${#runner[@]} -eq 0 ] && locale_case C 0 'path_mask_cmp C:\Daten\ÄPFEL.log äpfel.*'
utf8_locale=$(locale -a 2>/dev/null | grep -iE '^(C|en_US)\.utf-?8$' | head -n 1)
if [ -n "$utf8_locale" ]; then
    locale_case "$utf8_locale" 1 'path_mask_cmp C:\Daten\ÄPFEL.log äpfel.*'
else
    echo "note: no UTF-8 locale here; its case is not run"
fi

listed=""
[ -n "${VELMORA_EXPORT_LIST:-}" ] &&
    listed=$(sed -n 's/^VELMORA_EXPORT(\([A-Za-z_][A-Za-z0-9_]*\),.*/\1/p' "$VELMORA_EXPORT_LIST")

# ---- The manual page and the completion (Linux builds) ------------------------------
if [ -n "${VELMORA_MANUAL_PAGE:-}" ]; then
    check "groff renders velmora(1) without warnings" \
        bash -c '[ -z "$(groff -man -ww -z "$1" 2>&1)" ]' _ "$VELMORA_MANUAL_PAGE"
    MANWIDTH=80 man -l "$VELMORA_MANUAL_PAGE" >"$work/manual" 2>"$err"
    check "man -l renders velmora(1) without warnings" [ ! -s "$err" ]
    for name in $listed; do
        grep -q "^       $name\$" "$work/manual" || { fail "velmora(1) lacks $name"; continue; }
        pass
    done
    if [ -n "${VELMORA_EXTRACT:-}" ]; then
        # Each option of the tool's list, as the manual's OPTIONS shows it.
        sed -n 's/^VELMORA_OPTION([a-z_]*, "\([^"]*\)".*/\1/p' "$(dirname "$VELMORA_EXTRACT")/cli/option_list.h" >"$work/options"
        check "the option list is read" [ -s "$work/options" ]
        while read -r option; do
            sed -n '/^OPTIONS/,/^BATCH MODE/p' "$work/manual" | grep -qE -- "^       $option(,| |\$)" ||
                { fail "velmora(1) lacks the option $option"; continue; }
            pass
        done <"$work/options"
    fi
    check "velmora(1) names the locale" grep -q 'setlocale(LC_ALL, "")' "$work/manual"
    check "velmora(1) gives the batch exit status" grep -q 'when any line was a usage' "$work/manual"
fi
if [ -n "${VELMORA_COMPLETION:-}" ]; then
    complete_words() {
        bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _velmora; echo "${COMPREPLY[*]}"' \
            _ "$VELMORA_COMPLETION" "$@"
    }
    check "completion: export names" [ "$(complete_words velmora path_p)" = "path_pop path_push" ]
    check "completion: after help" [ "$(complete_words velmora help get_file_p)" = "get_file_part" ]
    check "completion: options after the export" \
        [ "$(complete_words velmora path_pop x -)" = "--size --in-place --offset --" ]
    check "completion: options before it" [ "$(complete_words velmora --)" = "--json --null --help --version" ]
    check "completion: -0 is skipped" [ "$(complete_words velmora -0 is_m)" = "is_mask" ]
    check "completion: names after --json" [ "$(complete_words velmora --json is_m)" = "is_mask" ]
fi

# ---- The contracts survive the header's declarations changing form ---------------------
if [ -n "${VELMORA_HEADER:-}" ] && [ -n "${VELMORA_EXTRACT:-}" ]; then
    for form in plain reworked; do mkdir -p "$work/$form"; done
    cp "$VELMORA_HEADER" "$work/plain/velmora.h"
    # A licence line, version macros, a calling convention and wrapped declarations.
    { echo '/* SPDX-License-Identifier: MIT */'; sed -E \
        -e 's/^#define VELMORA_H$/&\n#define VELMORA_VERSION_MAJOR 1\n#define VELMORA_CALL/' \
        -e 's/^VELMORA_API (.*[ *])(path_[a-z]+)\(/VELMORA_API \1VELMORA_CALL\n    \2(/' \
        -e '/^VELMORA_API .*[ *]path_[a-z]+\(/!s/^VELMORA_API (.*[ *])([a-z]+_[a-zA-Z_]+)\(/VELMORA_API \1VELMORA_CALL \2(/' \
        "$VELMORA_HEADER"; } >"$work/reworked/velmora.h"
    check "the reworked header has the new forms" grep -q '^    path_push(' "$work/reworked/velmora.h"
    for form in plain reworked; do
        cmake -DHEADER="$work/$form/velmora.h" -DOUT_DIR="$work/$form" -DVERSION=0 \
            -DMANUAL_TEMPLATE="$(dirname "$VELMORA_EXTRACT")/velmora.1.scd.in" \
            -DCOMPLETION_TEMPLATE="$(dirname "$VELMORA_EXTRACT")/velmora-completion.bash.in" \
            -DOPTIONS="$(dirname "$VELMORA_EXTRACT")/cli/option_list.h" \
            -DEXIT_STATUSES="$(dirname "$VELMORA_EXTRACT")/cli/exit_status_list.h" \
            -P "$VELMORA_EXTRACT" >/dev/null 2>&1 || fail "contracts from the $form header"
    done
    check "the contracts are the same from the reworked header" \
        cmp -s "$work/plain/velmora_contracts.inc" "$work/reworked/velmora_contracts.inc"
    check "a contract for each export of the list" \
        [ "$(grep -c '^{"' "$work/reworked/velmora_contracts.inc")" -eq "$(wc -w <<<"$listed")" ]
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
