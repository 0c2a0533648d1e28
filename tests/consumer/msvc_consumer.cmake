# SPDX-License-Identifier: MIT
# Builds tests/consumer/msvc_consumer.c as an MSVC user would, with clang for the
# MSVC target and lld-link against velmora.lib alone, and runs it beside the
# DLL. Skipped, loudly, where those tools or the import library are missing.
find_program(VELMORA_CLANG NAMES clang clang-14)
find_program(VELMORA_LLD_LINK NAMES lld-link lld-link-14)
if(NOT VELMORA_CLANG OR NOT VELMORA_LLD_LINK OR NOT VELMORA_MSVC_IMPORT_LIBRARY)
    message(WARNING "clang, lld-link or velmora.lib missing: the MSVC-target consumer is not built")
    return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(msvc_target x86_64-pc-windows-msvc)
    set(msvc_machine x64)
else()
    set(msvc_target i686-pc-windows-msvc)
    set(msvc_machine x86)
endif()
set(object ${CMAKE_CURRENT_BINARY_DIR}/msvc_consumer.obj)
set(program ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/msvc_consumer.exe)
add_custom_command(OUTPUT ${program}
    COMMAND ${VELMORA_CLANG} --target=${msvc_target} -ffreestanding -fno-builtin -O2
            -Wall -Wextra -Werror -I${VELMORA_INCLUDE_DIR}
            -c ${CMAKE_CURRENT_SOURCE_DIR}/consumer/msvc_consumer.c -o ${object}
    COMMAND ${VELMORA_LLD_LINK} /nologo /nodefaultlib /entry:consumer_main /subsystem:console
            /machine:${msvc_machine} ${object} ${VELMORA_MSVC_IMPORT_LIBRARY} /out:${program}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/consumer/msvc_consumer.c ${VELMORA_MSVC_IMPORT_LIBRARY}
            ${VELMORA_INCLUDE_DIR}/velmora.h
    COMMENT "Building the MSVC-target consumer against velmora.lib")
add_custom_target(msvc_consumer ALL DEPENDS ${program})
add_test(NAME msvc_consumer COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${program})
