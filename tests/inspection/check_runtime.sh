#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that a built library needs the C runtime alone: on Linux no C++
# runtime or GCC support library among its needed libraries; a Windows DLL
# imports only KERNEL32.dll and msvcrt.dll and, stripped, fits in 64 KiB.
set -euo pipefail
lib=$1
source "$(dirname "$0")/../../scripts/lib/checks.sh"

case $(head -c 2 "$lib" | od -An -c | tr -d ' ') in
MZ)
    imports=$(objdump -p "$lib" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u | tr '\n' ' ')
    echo "$(basename "$lib") imports: $imports"
    check "imports only KERNEL32.dll and msvcrt.dll" [ "$imports" = "KERNEL32.dll msvcrt.dll " ]
    stripped=$(mktemp)
    trap 'rm -f "$stripped"' EXIT
    objcopy --strip-all "$lib" "$stripped"
    size=$(stat -c %s "$stripped")
    echo "$(basename "$lib") stripped: $size bytes"
    check "stripped size $size is at most 65536 bytes" [ "$size" -le 65536 ]
    ;;
*)
    needed=$(readelf -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
    echo "$(basename "$lib") needs: $needed"
    check "needs no libstdc++" eval '! grep -q libstdc++ <<<"$needed"'
    check "needs no libgcc_s" eval '! grep -q libgcc_s <<<"$needed"'
    check "needs libc" eval 'grep -q "libc\.so" <<<"$needed"'
    ;;
esac
checks_summary runtime
