# SPDX-License-Identifier: MIT
# Cross-build for 64-bit ARM Linux; executables run under qemu-aarch64.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(VELMORA_CROSS_TRIPLE aarch64-linux-gnu)
set(VELMORA_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
