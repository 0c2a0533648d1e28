#!/usr/bin/env bash
# Drives the command-line tool as a user would and checks what it prints and
# how it exits. Usage: tool_test.sh TOOL VERSION [RUNNER] (RUNNER runs Windows
# programs).
set -u
tool=$1
version=$2
runner=${3:-}
passed=0 failed=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT

# expect STATUS STDOUT STDERR-PATTERN ARGUMENT... (an empty pattern takes any)
expect() {
    local status=$1 out=$2 pattern=$3
    shift 3
    local actual actual_status
    actual=$($runner "$tool" "$@" 2>"$err")
    actual_status=$?
    if [ "$actual_status" = "$status" ] && [ "$actual" = "$out" ] &&
        { [ -z "$pattern" ] || grep -qE -- "$pattern" "$err"; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: velmora $*"
        echo "  status $actual_status (want $status), stdout '$actual' (want '$out')"
        echo "  stderr: $(cat "$err") (want /$pattern/)"
    fi
}

any=''
expect 0 'file.txt' "$any" get_file_part 'C:\dir\file.txt'
expect 0 '7	file.txt' "$any" get_file_part 'C:\dir\file.txt' --offset
expect 1 '' "$any" get_file_part 'file.txt'
expect 0 'C:\dir' "$any" get_drive_part '\\?\C:\dir'
expect 0 'share\dir' "$any" get_path_part '\\server\share\dir'
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
expect 1 '' "$any" get_error_text 9
expect 0 '0' "$any" get_err_code
expect 0 'Ünïcødé\日本' "$any" path_pop 'Ünïcødé\日本\x'
expect 2 '' 'unknown export' no_such_export x
expect 2 '' 'takes 2 argument' path_push 'C:\dir'
# Windows programs receive their command line as UTF-16 already.
[ -z "$runner" ] && expect 2 '' 'not valid UTF-8' get_file_part $'C:\\\xff'
expect 2 '' '--size needs a number' path_pop 'C:\a' --size x
expect 0 "velmora $version" "$any" --version
expect 1 '' 'code 4: File not found' get_file_attr 'no_such_file_here'

help=$($runner "$tool" --help)
for name in add_NTFS_path_prefix file_exist get_file_attr path_mask_cmp rem_UNC_path_prefix; do
    if grep -q "$name" <<<"$help"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: --help lacks $name"; fi
done

lines=$(printf 'get_file_part C:\\dir\\f.txt\nis_mask "a b*"\npath_push C:\\dir "my file"\n' | $runner "$tool" -)
want=$(printf 'f.txt\n1\nC:\\dir\\my file')
if [ "$lines" = "$want" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: velmora - gave '$lines'"; fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
