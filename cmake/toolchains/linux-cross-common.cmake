# SPDX-License-Identifier: MIT
# Cross-build for Linux on another processor with Debian's cross compiler for
# ${VELMORA_CROSS_TRIPLE}; executables run under QEMU user emulation, against
# the cross C library that the compiler's packages install.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${VELMORA_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VELMORA_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMORA_QEMU} -L /usr/${VELMORA_CROSS_TRIPLE})
