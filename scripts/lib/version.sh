# SPDX-License-Identifier: MIT
# The project's version as CMakeLists.txt's project() gives it, the one place
# it is written; for the scripts that name the files it is part of. Sourced
# from the top of the tree.
velmora_version=$(sed -n 's/^ *VERSION \([0-9][0-9.]*\)$/\1/p' CMakeLists.txt | head -n 1)
[ -n "$velmora_version" ] || { echo "error: no version in CMakeLists.txt's project()" >&2; exit 2; }
