#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program as an unprivileged user: root passes every access check,
# so denied access can only be seen as someone else. Run as another user
# already, it runs the program as it is. Its temporary folder is one of its
# own that the user may write. A cross build's program runs under the runner
# that VELMORA_TEST_RUNNER names (an emulator and its options).
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    read -r -a runner <<<"${VELMORA_TEST_RUNNER:-}"
    exec "${runner[@]}" "$@"
fi
user=nobody
group=$(id -gn "$user")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
chown "$user:$group" "$folder"
# The build may lie under a folder closed to others (a private temporary
# folder, say): the program runs from a copy in the user's own folder, and
# makes its files under that folder too.
read -r -a runner <<<"${VELMORA_TEST_RUNNER:-}"
cp "$1" "$folder/"
chown "$user:$group" "$folder/$(basename "$1")"
program="$folder/$(basename "$1")"
shift
TMPDIR=$folder setpriv --reuid="$user" --regid="$group" --init-groups \
    env -u VELMORA_TEST_TREE "${runner[@]}" "$program" "$@"
