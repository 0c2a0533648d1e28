#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Turkish UTF-8 locale that wild_match_test switches to (a locale
# where i does not fold to I), when the machine lacks it and root may make it.
# Idempotent.
set -euo pipefail
if locale -a 2>/dev/null | grep -qix 'tr_TR\.utf-\?8'; then
    echo "tr_TR.UTF-8 is there"
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "NOT MADE: tr_TR.UTF-8 is missing and only root can make it; the Turkish rows skip"
    exit 0
fi
localedef -i tr_TR -f UTF-8 tr_TR.UTF-8
echo "made tr_TR.UTF-8"
