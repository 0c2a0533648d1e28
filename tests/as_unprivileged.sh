#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program as an unprivileged user: root passes every access check,
# so denied access can only be seen as someone else. Run as another user
# already, it runs the program as it is. Its temporary folder is one of its
# own that the user may write.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
fi
user=nobody
group=$(id -gn "$user")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
chown "$user:$group" "$folder"
# The program must be reachable for the user along its whole path.
if ! setpriv --reuid="$user" --regid="$group" --init-groups test -x "$1"; then
    echo "as_unprivileged: $user cannot run $1 (a folder on its way is closed to others)" >&2
    exit 1
fi
TMPDIR=$folder setpriv --reuid="$user" --regid="$group" --init-groups "$@"
