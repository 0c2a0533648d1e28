#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that every place that states the release states the header's:
# the pkg-config file, the CMake package's version file and, given any,
# Windows DLLs' version resources and Debian packages.
# Usage: check_version.sh HEADER PC CONFIG-VERSION [FILE.dll|FILE.deb ...]
set -euo pipefail
header=$1 pc=$2 config_version=$3
shift 3
passed=0 failed=0
expect() {
    local what=$1 actual=$2
    if [ "$actual" = "$version" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what says '$actual', the header '$version'"
    fi
}

version=$(sed -n 's/^#define VELMORA_VERSION_STRING "\(.*\)"$/\1/p' "$header")
parts=$(sed -n 's/^#define VELMORA_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' "$header" | paste -sd.)
echo "header: $version"
expect "the header's VELMORA_VERSION_MAJOR/MINOR/PATCH" "$parts"
expect "$(basename "$pc")" "$(sed -n 's/^Version: //p' "$pc")"
expect "$(basename "$config_version")" "$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")$/\1/p' "$config_version")"
for file in "$@"; do
    case $file in
    *.dll)
        # The resource's strings are UTF-16: each name is followed by its value.
        strings=$(strings -el "$file")
        expect "$(basename "$file") FileVersion" "$(grep -A1 -x FileVersion <<<"$strings" | tail -n 1)"
        expect "$(basename "$file") ProductVersion" "$(grep -A1 -x ProductVersion <<<"$strings" | tail -n 1)"
        if grep -q -x LegalCopyright <<<"$strings"; then passed=$((passed + 1)); else
            failed=$((failed + 1)); echo "FAILED: $(basename "$file") has no LegalCopyright"; fi
        ;;
    *.deb)
        expect "$(basename "$file")" "$(dpkg-deb -f "$file" Version)"
        ;;
    esac
done
echo "version: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
