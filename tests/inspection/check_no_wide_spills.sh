#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# 64-bit Windows does not keep the stack 32-byte aligned and the compiler does
# not realign it, so no 32-byte vector may be stored to or loaded from the
# stack: this lists any instruction in the DLL that moves a ymm or zmm register
# through the stack frame.
set -uo pipefail
objdump=$1 library=$2
found=$("$objdump" -d --no-show-raw-insn "$library" |
    grep -E '%[yz]mm[0-9]+' | grep -E '\((%rsp|%rbp)\)|\(%rsp,|\(%rbp,')
if [ -n "$found" ]; then
    echo "$found"
    echo "0 passed, 1 failed"
    exit 1
fi
echo "1 passed, 0 failed"
