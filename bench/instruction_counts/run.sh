#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Instructions per scan on 64-bit ARM, counted under QEMU user emulation,
# where timings mean nothing: the NEON scanners and entry points against the
# plain ones, at 20, 80, 260 and 1,000 units. Each figure is the difference
# between a run of scan_calls with 1,000 calls and one with none, divided by
# 1,000: the call itself, and about ten instructions of the calling loop, are
# in it. Needs the aarch64 build (cmake --preset aarch64 && cmake --build
# --preset aarch64).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/aarch64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here=bench/instruction_counts

gcc -shared -fPIC -O2 -Wall -Wextra -Werror "$here/count_plugin.c" -o "$work/count_plugin.so"
compile() {
    aarch64-linux-gnu-g++ -std=c++17 -O2 -Wall -Wextra -Werror -I"$build/include" -Isrc "$@"
}
compile "$here/scan_calls.cpp" "$build/lib/libvelmora_static.a" -o "$work/neon"
compile -DVELMORA_NO_SIMD "$here/scan_calls.cpp" src/scan/kernels_plain.cpp -o "$work/plain"

instructions() {
    qemu-aarch64 -d plugin -plugin "$work/count_plugin.so" -L /usr/aarch64-linux-gnu "$@" 2>&1 |
        sed -n 's/^instructions: //p'
}
per_call() {
    local none many
    none=$(instructions "$@" 0)
    many=$(instructions "$@" 1000)
    echo $(((many - none) / 1000))
}

echo "| scan | set | 20 units | 80 | 260 | 1,000 |"
echo "|---|---|---|---|---|---|"
for kind in length first last; do
    for row in "plain plain plain scanner" "neon neon NEON scanner" \
        "plain entry entry point, plain" "neon entry entry point, NEON"; do
        read -r program scanners name <<<"$row"
        line="| $kind | $name |"
        for units in 20 80 260 1000; do
            line="$line $(per_call "$work/$program" "$kind" "$scanners" "$units") |"
        done
        echo "$line"
    done
done
