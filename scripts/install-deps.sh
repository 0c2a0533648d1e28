#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# the machine lacks. Runs apt-get only when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ binutils pkg-config # the Linux build, and using it installed
    googletest libgtest-dev libbenchmark-dev # tests (GoogleTest's sources cross-compile) and benchmarks
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 # the Windows DLLs
    wine64                                   # running the 64-bit Windows tests
    clang libclang-rt-14-dev                 # fuzzers and sanitizers
    qemu-system-x86 linux-image-amd64 busybox-static xz-utils # the 32-bit tests' guest, where the kernel runs no 32-bit programs
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
