#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# For a newcomer: installs what is missing, builds the Linux library and its
# command-line tool, and shows a few calls and their answers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux

show() {
    printf '\n$ velmora'
    printf " '%s'" "$@"
    printf '\n'
    build/linux/bin/velmora "$@" || true
}
echo
build/linux/bin/velmora_tour
show get_file_part 'C:\dir\file.txt'
show path_mask_cmp 'C:\data\app.log' '*.LOG'
show rem_UNC_path_prefix '\\?\UNC\server\share'
show path_push 'C:\dir' x --size 8
