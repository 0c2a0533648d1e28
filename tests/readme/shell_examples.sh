#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's ```sh blocks. A block of "$ command" lines, each followed by
# the output it shows, is run command by command (standard output and error
# together), with build/linux/bin/velmora standing for TOOL, and must show
# what the README shows. Any other block is a recipe for the reader's own
# machine (it builds, installs or compiles against an install): it must parse,
# and the scripts it names must exist. Usage: shell_examples.sh README TOOL
set -u
readme=$1
tool=$2
source_dir=$(cd "$(dirname "$readme")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/build/linux/bin"
ln -s "$tool" "$work/build/linux/bin/velmora"
passed=0 failed=0

# run_and_compare LINE COMMAND WANT
run_and_compare() {
    local got
    got=$(cd "$work" && bash -c "$2" 2>&1)
    if [ "$got" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'README.md:%s: $ %s\n  shows: %s\n  gives: %s\n' "$1" "$2" "$3" "$got"
    fi
}

# check_recipe LINE TEXT
check_recipe() {
    local ok=1 script
    bash -n <<<"$2" 2>"$work/syntax" || { ok=0; cat "$work/syntax"; }
    for script in $(grep -oE '(scripts|bench|fuzz)/[A-Za-z0-9_./-]+\.sh' <<<"$2"); do
        [ -f "$source_dir/$script" ] || { ok=0; echo "  no such script: $script"; }
    done
    if [ "$ok" -eq 1 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "README.md:$1: the recipe does not hold"
    fi
}

number=0 in_block=0 block_start=0 block='' command='' command_line=0 want='' shown_lines=0 prompted=0
finish_command() {
    [ -n "$command" ] && run_and_compare "$command_line" "$command" "$want"
    command='' want='' shown_lines=0
}
while IFS= read -r line || [ -n "$line" ]; do
    number=$((number + 1))
    if [ "$in_block" -eq 0 ]; then
        [ "$line" = '```sh' ] && in_block=1 block_start=$number block='' prompted=0
        continue
    fi
    if [ "$line" = '```' ]; then
        in_block=0
        if [ "$prompted" -eq 1 ]; then finish_command; else check_recipe "$block_start" "$block"; fi
        continue
    fi
    block+="$line"$'\n'
    if [[ "$line" == '$ '* ]]; then
        finish_command
        prompted=1 command=${line#\$ } command_line=$number
    elif [ "$prompted" -eq 1 ]; then
        # An empty line is output too, the first included.
        [ "$shown_lines" -gt 0 ] && want+=$'\n'
        want+=$line shown_lines=$((shown_lines + 1))
    fi
done <"$readme"

# The options the README's "Try it" section names in backquotes are the
# tool's own: its usage lists each.
usage=$("$tool" --help 2>&1)
while IFS= read -r option; do
    if grep -qE -- "(^|[ ,[])${option}([ ,]|]|$)" <<<"$usage"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "README.md: the tool has no option $option (its --help lists none such)"
    fi
done < <(sed -n '/^## Try it/,/^## A tour/p' "$readme" | grep -oE '`-[^` ]*' | tr -d '`' | sort -u)

# The README's exit statuses are the help's, word for word (either may wrap).
joined() { tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
readme_statuses=$(sed -n '/^- Exit status:/,/^- /p' "$readme" | sed '$d; s/^- //' | joined)
help_statuses=$(sed -n '/^Exit status:/,/^$/p' <<<"$usage" | joined)
if [ -n "$help_statuses" ] && [ "$readme_statuses" = "$help_statuses" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
    printf 'README.md: the exit statuses differ from the help'"'"'s\n  README: %s\n  help:   %s\n' \
        "$readme_statuses" "$help_statuses"
fi

# Every version the README names (package files, the --version sample) is the
# one this build has.
version=$("$tool" --version 2>&1 | sed -n '1s/^velmora //p')
while IFS=: read -r line named; do
    if [ "$named" = "$version" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "README.md:$line: names version $named; this build is $version"
    fi
done < <(grep -noE '[0-9]+\.[0-9]+\.[0-9]+' "$readme")

echo "$passed passed, $failed failed"
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ]
