# SPDX-License-Identifier: MIT
# Keeps a shared library's debug information in a file of its own beside it
# (NAME.debug) and strips the library itself, linking the two by a debug
# link, so that what is installed and packaged is small and a debugger still
# finds the rest.
find_program(VELMORA_OBJCOPY NAMES ${CMAKE_OBJCOPY} objcopy)

function(velmora_separate_debug_info target)
    if(NOT VELMORA_OBJCOPY OR CMAKE_BUILD_TYPE STREQUAL "Debug")
        return()
    endif()
    # objcopy stamps a PE file it writes with the time, or SOURCE_DATE_EPOCH
    # where it is set (cmake/reproducible.cmake).
    set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VELMORA_SOURCE_DATE_EPOCH} ${VELMORA_OBJCOPY})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE:${target}>
                $<TARGET_FILE:${target}>.debug
        COMMAND ${objcopy} --strip-debug --strip-unneeded
                --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()
