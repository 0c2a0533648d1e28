# SPDX-License-Identifier: MIT
# Cross-build for 64-bit IBM Z Linux, a big-endian machine; executables run
# under qemu-s390x.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(VELMORA_CROSS_TRIPLE s390x-linux-gnu)
set(VELMORA_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
