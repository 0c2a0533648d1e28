#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks built files for the hardening the build asks for. ELF: full RELRO
# (bound at load), a stack that is not executable, stack canaries, checked C
# library calls where any are used, and the CET property note (in our own
# objects where the C library's start files lack it); hardening-check
# (Debian's devscripts) is run too where it is installed. PE: address-space
# randomisation (64-bit wide in 64-bit files) and the data execution guard.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/checks.sh"

# Names a file imports (undefined dynamic symbols), without their versions.
imports() { readelf -W --dyn-syms "$1" | awk '$7 == "UND" { sub("@.*", "", $8); print $8 }' | sort -u; }

# A C library call that _FORTIFY_SOURCE can check is used checked at least
# once, or none is used at all (which is how hardening-check judges it).
fortified_or_none() {
    local names checked plain
    names=$(imports "$1")
    checked=$(grep -c '^__.*_chk$' <<<"$names")
    plain=$(grep -cxE 'mem(cpy|move|set)|str(n?cpy|n?cat)|stpn?cpy|v?s?n?printf|v?fprintf|read|pread|recv|getcwd|realpath|wcs(n?cpy|n?cat)|wmem(cpy|move|set)|fgets|fread' <<<"$names")
    echo "  $checked checked C library calls, $plain others that could be checked"
    [ "$checked" -gt 0 ] || [ "$plain" -eq 0 ]
}

has_cet_property() { readelf -W -n "$1" | grep -q 'x86 feature: IBT, SHSTK'; }
start_files_have_cet() { has_cet_property "$(cc -print-file-name=crti.o)"; }

check_elf() {
    local file=$1 name
    name=$(basename "$file")
    local program_headers dynamic
    program_headers=$(readelf -W -l "$file")
    dynamic=$(readelf -W -d "$file")
    check "$name: relocations read-only after loading (GNU_RELRO)" grep -q GNU_RELRO <<<"$program_headers"
    check "$name: bound at load (BIND_NOW)" grep -qE '\(BIND_NOW\)|\(FLAGS\).*\bNOW\b|\(FLAGS_1\).*\bNOW\b' <<<"$dynamic"
    check "$name: stack not executable" bash -c "grep GNU_STACK <<<'$program_headers' | grep -qv RWE"
    check "$name: stack canaries (__stack_chk_fail)" grep -qx __stack_chk_fail <<<"$(imports "$file")"
    check "$name: checked C library calls" fortified_or_none "$file"
    local options=()
    if start_files_have_cet; then
        check "$name: CET property (IBT, SHSTK)" has_cet_property "$file"
    else
        # The linker marks a file only when every object in it is marked;
        # our own objects are checked instead.
        echo "  $name: no CET property: the C library's start files ($(cc -print-file-name=crti.o)) have none"
        options+=(--nocfprotection)
    fi
    if command -v hardening-check >/dev/null; then
        check "$name: hardening-check ${options[*]} passes" hardening-check "${options[@]}" "$file"
    fi
}

check_pe() {
    local file=$1 name header
    name=$(basename "$file")
    header=$(objdump -p "$file")
    check "$name: address-space randomisation (DYNAMIC_BASE)" grep -qw DYNAMIC_BASE <<<"$header"
    check "$name: data execution guard (NX_COMPAT)" grep -qw NX_COMPAT <<<"$header"
    if grep -q '^Magic[[:space:]]*020b' <<<"$header"; then
        check "$name: 64-bit randomisation (HIGH_ENTROPY_VA)" grep -qw HIGH_ENTROPY_VA <<<"$header"
    fi
    echo "  $name: $(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$header") $(grep -owE 'HIGH_ENTROPY_VA|DYNAMIC_BASE|NX_COMPAT|TERMINAL_SERVICE_AWARE' <<<"$header" | tr '\n' ' ')"
}

# Objects (ours) given after --objects are checked for the CET property alone.
objects=()
files=()
# CTest hands a list of objects over as one argument, separated by ";".
IFS=';' read -ra arguments <<<"$*"
IFS=' ' read -ra arguments <<<"${arguments[*]}"
for argument in "${arguments[@]}"; do
    if [ "$argument" = --objects ]; then
        objects=(-)
    elif [ ${#objects[@]} -gt 0 ]; then
        objects+=("$argument")
    else
        files+=("$argument")
    fi
done
for object in "${objects[@]:1}"; do
    check "$(basename "$object"): CET property (IBT, SHSTK)" has_cet_property "$object"
done
for file in "${files[@]}"; do
    [ -n "$file" ] || continue
    case $(head -c 2 "$file" | od -An -c | tr -d ' ') in
    MZ) check_pe "$file" ;;
    *) check_elf "$file" ;;
    esac
done
checks_summary hardening
