#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Drives the command-line tool as a user and a script author would and checks
# what it prints and how it exits. Usage: tool_test.sh TOOL VERSION [RUNNER...]
# (RUNNER runs Windows programs). Optional, from the environment:
# VELMORA_MANUAL_PAGE (the made velmora.1), VELMORA_COMPLETION (the bash
# completion), VELMORA_HEADER and VELMORA_EXTRACT (the header and the script
# that takes the contracts from it).
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
# Under a runner every call starts an emulated program, so VELMORA_TOOL_TEST_JOBS
# of them may run at once; each leaves its verdict in a file of its own, read
# by tally_expectations.
jobs=${VELMORA_TOOL_TEST_JOBS:-1}
expectations=0
expect() {
    expectations=$((expectations + 1))
    if [ "$jobs" -le 1 ]; then
        expect_one "$work/expect.$expectations" "$@"
        return
    fi
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
    expect_one "$work/expect.$expectations" "$@" &
}
expect_one() {
    local verdict=$1 status=$2 out=$3 pattern=$4
    shift 4
    local actual actual_status
    actual=$(velmora "$@" 2>"$verdict.err")
    actual_status=$?
    if [ "$actual_status" = "$status" ] && [ "$actual" = "$out" ] &&
        { [ -z "$pattern" ] || grep -qE -- "$pattern" "$verdict.err"; }; then
        : >"$verdict"
    else
        local shown="velmora $*"
        {
            echo "${shown:0:200}"
            echo "  status $actual_status (want $status), stdout '$actual' (want '$out')"
            echo "  stderr: $(cat "$verdict.err") (want /$pattern/)"
        } >"$verdict"
    fi
}
tally_expectations() {
    wait
    local i
    for ((i = 1; i <= expectations; i++)); do
        if [ ! -e "$work/expect.$i" ]; then
            fail "expectation $i left no verdict"
        elif [ -s "$work/expect.$i" ]; then
            fail "$(cat "$work/expect.$i")"
        else
            pass
        fi
    done
}

any=''
long_prefixed="\\\\?\\C:\\$(printf '%033000d' 0)"

# ---- One call at a time -------------------------------------------------------
expect 0 'file.txt' "$any" get_file_part 'C:\dir\file.txt'
expect 0 '7	file.txt' "$any" get_file_part 'C:\dir\file.txt' --offset
expect 1 '' 'get_file_part: no such part' get_file_part 'file.txt'
expect 0 'C:\dir' "$any" get_drive_part '\\?\C:\dir'
expect 0 'share\dir' "$any" get_path_part '\\server\share\dir'
# A Windows command line holds fewer units; batch mode below covers it there.
[ ${#runner[@]} -eq 0 ] &&
    expect 1 '' 'get_path_part failed: code 2: Buffer is too small' get_path_part "$long_prefixed"
expect 0 '1' "$any" path_mask_cmp 'C:\data\app.log' '*.LOG'
expect 1 '0' "$any" path_mask_cmp 'C:\data\app.log' '*.txt'
expect 0 '1' "$any" is_UNC_path '\\server\share'
expect 1 '0' "$any" has_NTFS_path_prefix 'C:\dir'
expect 0 '1' "$any" is_mask 'C:\dir\*.txt'
expect 0 '\\?\C:\a' "$any" add_NTFS_path_prefix 'C:\a'
expect 0 '\\?\C:\a' "$any" add_NTFS_path_prefix 'C:\a' --in-place
expect 0 'C:\a' "$any" rem_NTFS_path_prefix '\\?\C:\a'
expect 0 'server\share' "$any" rem_UNC_path_prefix '\\?\UNC\server\share'
expect 0 'C:\dir' "$any" path_pop 'C:\dir\file' --in-place
expect 0 'C:\dir\x' "$any" path_push 'C:\dir' x
expect 1 '' 'code 2: Buffer is too small' path_push 'C:\dir' x --size 8
expect 1 '' 'code 1: The string is not conformed path' path_pop 'file'
expect 0 'Buffer is too small' "$any" get_error_text 2
expect 1 '' 'no text for code 9' get_error_text 9
expect 0 '0' "$any" get_err_code
expect 0 'Ünïcødé\日本' "$any" path_pop 'Ünïcødé\日本\x'
expect 1 '' 'code 4: File not found' get_file_attr 'no_such_file_here'
# --version: the tool's version, the loaded library's with its file, and the
# scanner set, one a line.
version_says_all() {
    local out
    out=$(velmora --version 2>/dev/null) || return 1
    [ "$(sed -n 1p <<<"$out")" = "velmora $version" ] &&
        grep -qE "^library $version \(.*velmora[^/\\]*\)$" <<<"$out" &&
        grep -qxE 'scanners (plain|SSE2|AVX2|AVX-512BW)' <<<"$out" ||
        { echo "velmora --version printed:"; echo "$out"; return 1; }
}
check "--version names both versions, the library's file and the scanner set" version_says_all

# ---- Arguments: names, options, numbers -----------------------------------------
expect 0 'file.txt' "$any" GET_File_Part 'C:\dir\file.txt'
expect 2 '' "unknown export 'get_fiel_part'; did you mean get_file_part" get_fiel_part x
expect 2 '' 'did you mean is_mask' ismask x
expect 2 '' 'takes 2 argument' path_push 'C:\dir'
expect 0 '1' "$any" is_mask -- '--size*'
expect 0 'C:\dir\--offset' "$any" path_push 'C:\dir' --size 20 -- --offset
expect 2 '' 'unknown option .--size\*.' is_mask '--size*'
expect 2 '' '--size does not apply to is_mask' is_mask x --size 5 --in-place
expect 2 '' '--in-place does not apply to get_file_part' get_file_part x --in-place
expect 2 '' '--offset does not apply to path_pop' path_pop 'C:\a\b' --offset
expect 2 '' "--size ' -1': not a decimal number" path_pop 'C:\a' --size ' -1'
expect 2 '' "--size '\+3': not a decimal" path_pop 'C:\a' --size '+3'
expect 2 '' "--size '4294967296': not a decimal number from 0 to 4294967295" path_pop 'C:\a' --size 4294967296
expect 2 '' "--size 'x'" path_pop 'C:\a' --size x
expect 2 '' '--size needs a number' path_pop 'C:\a' --size
expect 0 'C:\a' "$any" path_pop 'C:\a\b' --size 4294967295
expect 2 '' "CODE '-1': not a decimal number" get_error_text -- -1
expect 2 '' "CODE ' 2'" get_error_text ' 2'
# Windows programs receive their command line as UTF-16 already.
[ ${#runner[@]} -eq 0 ] && expect 2 '' 'argument 1 is not valid UTF-8' get_file_part $'C:\\\xff'

# ---- Locale: the user's, taken at start -------------------------------------------
# Through batch input, whose bytes reach the tool as they are: Wine decodes a
# command line by the Unix locale. Wine takes the Windows user locale from the
# Unix one, and every Windows locale folds beyond ASCII, so the C locale's
# ASCII folding is Linux's alone.
# locale_case LOCALE WANT-RESULT ARGUMENTS...
locale_case() {
    local locale=$1 want=$2
    shift 2
    local got
    got=$(printf '%s\n' "$*" | LC_ALL=$locale velmora --json - 2>/dev/null | jq -c .result)
    if [ "$got" = "$want" ]; then pass; else fail "LC_ALL=$locale velmora $* gave $got, want $want"; fi
}
utf8_locale=$(locale -a 2>/dev/null | grep -iE '^(C|en_US)\.utf-?8$' | head -n 1)
if [ ${#runner[@]} -eq 0 ]; then
    locale_case C 0 'path_mask_cmp C:\Daten\ÄPFEL.log äpfel.*'
    locale_case C null 'get_drive_part Ä:\x'
    locale_case C 1 'path_mask_cmp C:\Daten\APFEL.log apfel.*'
fi
if [ -n "$utf8_locale" ]; then
    locale_case "$utf8_locale" 1 'path_mask_cmp C:\Daten\ÄPFEL.log äpfel.*'
    locale_case "$utf8_locale" 0 'get_drive_part Ä:\x'
    LC_ALL=$utf8_locale expect 0 '1' "$any" path_mask_cmp 'C:\Daten\ÄPFEL.log' 'äpfel.*'
else
    echo "note: no UTF-8 locale here; its cases are not run"
fi

# ---- Help: the list and each export's contract, as the header states it ----------
help=$(velmora --help)
check "--help names the locale" grep -q 'setlocale(LC_ALL, "")' <<<"$help"
check "--help gives the batch exit status" grep -q '2 if any line was a usage' <<<"$help"
listed=$(sed -n '/^exports:/,$p' <<<"$help" | awk 'NR > 1 { print $1 }')
check "--help lists 18 exports" [ "$(wc -l <<<"$listed")" -eq 18 ]
for name in $listed; do
    contract=$work/contract.$name
    if ! velmora help "$name" >"$contract" 2>&1 || ! grep -q "^usage: velmora $name" "$contract" ||
        ! grep -qE "[ *]$name\(" "$contract" ||
        ! grep -qE "^example: velmora $name" "$contract" ||
        ! grep -qE '\(exit status [01]\)$' "$contract"; then
        fail "velmora help $name"
        cat "$contract"
    else
        pass
    fi
done
check "help get_path_part gives its code" grep -q 'Stores err_buffer_small (and returns null)' "$work/contract.get_path_part"
check "help get_path_part gives its declaration" \
    grep -qx 'const velmora_char \*get_path_part(const velmora_char \*path);' "$work/contract.get_path_part"
check "help path_push gives the size rule" grep -q 'length(base) + length(name) + 2 exceeds size' "$work/contract.path_push"
check "help path_push gives its usage" grep -qx 'usage: velmora path_push BASE NAME \[--size N\] \[--in-place\]' "$work/contract.path_push"
expect 2 '' "unknown export 'path_pusj'; did you mean path_push" help path_pusj
if [ -n "${VELMORA_HEADER:-}" ]; then
    # The header's text, word for word, for every export.
    for name in $listed; do cat "$work/contract.$name"; done | tr -s ' \n' ' ' >"$work/all_contracts"
    sed -n '/^\/\* ---- Error state/,$p' "$VELMORA_HEADER" | grep -E '^ \* |^/\* ' |
        sed -E 's#^(/\*| \*) ?##; s# ?\*/$##' | grep -vE '^-+ .* -+$' >"$work/header_lines"
    missing=0
    while IFS= read -r line; do
        grep -qF -- "$line" "$work/all_contracts" || { missing=1; echo "  not in any contract: $line"; }
    done <"$work/header_lines"
    check "every comment line of the header's exports is in velmora help" [ "$missing" -eq 0 ]
fi

# ---- Batch mode, --json: one object per line, in order ---------------------------
# Each row: an input line, then what the answer to it must satisfy (jq).
rows=(
    'get_file_part C:\dir\f.txt'
    '.line == 1 and .call == "get_file_part" and .args == ["C:\\dir\\f.txt"] and .ok and .part == "f.txt" and .offset == 7 and .result == 7'
    'path_push C:\dir x --size 3'
    '.ok == false and .result == 0 and .code == 2 and .error == "Buffer is too small" and (has("text") | not)'
    "get_path_part $long_prefixed"
    '.ok == false and .result == null and .code == 2 and .error == "Buffer is too small"'
    'get_file_part nosep'
    '.ok and .result == null and .found == false and (has("code") | not)'
    ''
    '.line == 5 and .ok == false and (.usage | test("blank")) and (has("call") | not)'
    'is_mask x --size 5 --in-place'
    '.ok == false and .call == "is_mask" and (.usage | test("--size does not apply"))'
    'path_pop C:\a --size " -1"'
    '.ok == false and (.usage | test("--size . -1.: not a decimal"))'
    'PATH_MASK_CMP C:\data\app.log *.LOG'
    '.call == "path_mask_cmp" and .result == 1 and .ok'
    'is_maks x'
    '.ok == false and (.usage | test("did you mean is_mask"))'
    'is_mask -- --offset'
    '.args == ["--offset"] and .result == 0 and .ok'
    'path_push "C:\my dir" "a b"'
    '.text == "C:\\my dir\\a b" and .result == 1 and .ok'
    $'is_mask a\x01b'
    '.result == 0 and .ok'
    $'get_file_part C:\\\xff'
    '.ok == false and (.usage | test("argument 1 is not valid UTF-8"))'
    'get_error_text 9'
    '.ok and .result == null'
    'file_exist no_such_file_here'
    '.ok and .result == 1 and .exists == 0 and .code == 4 and .error == "File not found"'
    'get_err_code'
    '.ok and .result == 4 and (has("code") | not)'
    'path_pop C:\dir\file --in-place'
    '.text == "C:\\dir" and .ok'
    'path_pop C:\a\b --size 4294967296'
    '.ok == false and (.usage | test("4294967295"))'
    'path_push C:\dir'
    '.ok == false and (.usage | test("takes 2 argument"))'
    'get_file_attr no_such_file_here'
    '.ok == false and .result == 0 and .code == 4'
)
: >"$work/batch"
for ((i = 0; i < ${#rows[@]}; i += 2)); do printf '%s\n' "${rows[i]}" >>"$work/batch"; done
# A NUL byte inside a line: a usage error of its own, not bad UTF-8.
printf 'is_mask a\0b\n' >>"$work/batch"
rows+=('is_mask a<NUL>b' '.ok == false and (.usage | test("NUL byte"))')
velmora --json - <"$work/batch" >"$work/answers" 2>"$err"
status=$?
check "--json batch: exit status 2 with a usage error among its lines" [ "$status" -eq 2 ]
check "--json batch: nothing on standard error" [ ! -s "$err" ]
check "--json batch: one answer per line" [ "$(wc -l <"$work/answers")" -eq $((${#rows[@]} / 2)) ]
for ((i = 0; i < ${#rows[@]}; i += 2)); do
    line=$((i / 2 + 1))
    answer=$(sed -n "${line}p" "$work/answers")
    if jq -e --argjson n "$line" "(.line == \$n) and (${rows[i + 1]})" <<<"$answer" >/dev/null 2>&1; then
        pass
    else
        fail "--json batch line $line ('${rows[i]:0:60}'): $(cut -c1-300 <<<"$answer")"
    fi
done
check "--json batch: every answer is one JSON object" \
    bash -c '[ "$(jq -c . "$1" | wc -l)" -eq "$(wc -l <"$1")" ] && jq -e -s "all(type == \"object\")" "$1" >/dev/null' _ "$work/answers"

# ---- Batch mode, plain: one line per input line, messages carry line numbers -----
printf 'get_file_part C:\\d\\f\n\npath_push C:\\dir x --size 3\nget_file_part x\nis_mask "a b*"\n' |
    velmora - >"$work/out" 2>"$err"
status=$?
check "plain batch: exit status 2 with a blank line" [ "$status" -eq 2 ]
check "plain batch: one answer line per input line" [ "$(cat "$work/out")" = "$(printf 'f\n\n\n\n1')" ]
check "plain batch: line numbers on standard error" [ "$(cat "$err")" = "$(printf '%s\n' \
    'velmora: line 2: a blank line names no export' \
    'velmora: line 3: path_push failed: code 2: Buffer is too small' \
    'velmora: line 4: get_file_part: no such part')" ]
lines=$(printf 'get_file_part C:\\dir\\f.txt\nis_mask "a b*"\npath_push C:\\dir "my file"\n' | velmora -)
check "plain batch: quotes group words" [ "$lines" = "$(printf 'f.txt\n1\nC:\\dir\\my file')" ]
printf 'is_mask x\nget_file_part C:\\a\n' | velmora - >/dev/null 2>&1
check "batch exit status 1: a line answered false" [ $? -eq 1 ]
printf 'is_mask x*\nget_file_part C:\\a\n' | velmora - >/dev/null 2>&1
check "batch exit status 0: every line succeeded" [ $? -eq 0 ]

# ---- NUL-separated records --------------------------------------------------------
printf 'is_mask "a*"\0get_file_part "C:\\a\\b\nc"\0path_pop x\0' | velmora -0 - >"$work/out" 2>"$err"
check "-0: answers end with NUL" [ "$(od -An -c "$work/out" | tr -s ' \n' ' ')" = " 1 \\0 b \\n c \\0 \\0 " ]
check "-0: messages carry record numbers" grep -q '^velmora: line 3: path_pop failed: code 1' "$err"
printf 'get_file_part "C:\\a\\b\nc"\0is_mask x\0' | velmora --json --null - >"$work/answers"
check "--json -0: a newline inside a record" jq -e -s 'length == 2 and .[0].part == "b\nc" and .[1].line == 2' "$work/answers" >/dev/null
expect 2 '' '-0 goes with -' -0 is_mask x

# ---- Single calls with --json ------------------------------------------------------
expect 1 '{"call":"path_push","args":["C:\\dir","x"],"result":0,"ok":false,"code":2,"error":"Buffer is too small"}' \
    "$any" --json path_push 'C:\dir' x --size 3
expect 0 '{"call":"get_file_part","args":["C:\\d\\f"],"result":5,"part":"f","offset":5,"ok":true}' \
    "$any" --json get_file_part 'C:\d\f'
expect 2 '{"call":"is_mask","ok":false,"usage":"--offset does not apply to is_mask; usage: velmora is_mask TEXT"}' \
    "$any" --json is_mask x --offset

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
    check "completion: options after the export" [ "$(complete_words velmora path_pop x --s)" = "--size" ]
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
            -P "$VELMORA_EXTRACT" >/dev/null 2>&1 || fail "contracts from the $form header"
    done
    check "the contracts are the same from the reworked header" \
        cmp -s "$work/plain/velmora_contracts.inc" "$work/reworked/velmora_contracts.inc"
    check "18 contracts" [ "$(grep -c '^{"' "$work/reworked/velmora_contracts.inc")" -eq 18 ]
fi

tally_expectations
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
