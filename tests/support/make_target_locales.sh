#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the locales that the tests switch to (C.UTF-8, and Turkish for a
# locale where i does not fold to I) for a big-endian target's C library,
# in DIR: this machine's locale files hold their numbers in its own byte
# order, which that library cannot read. The tests find them through
# LOCPATH. Idempotent. Usage: make_target_locales.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
# Named as `locale -a` names them, so that either spelling of the codeset finds them.
for locale in C tr_TR; do
    if [ ! -e "$dir/$locale.utf8/LC_CTYPE" ]; then
        localedef --big-endian -i "$locale" -f UTF-8 "$dir/$locale.utf8"
    fi
done
echo "big-endian locales in $dir: $(cd "$dir" && echo *)"
