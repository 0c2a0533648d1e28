# SPDX-License-Identifier: MIT
# Cross-build for 32-bit Windows with MinGW-w64; executables run under 32-bit
# Wine, on this machine or in a guest (scripts/windows32-tests.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VELMORA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine32-run.sh)
