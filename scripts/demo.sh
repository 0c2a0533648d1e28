#!/usr/bin/env bash
# For a newcomer: installs what is missing, builds the Linux library and shows
# a few calls and their answers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
echo
build/linux/bin/velmora_tour
