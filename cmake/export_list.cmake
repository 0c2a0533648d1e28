# SPDX-License-Identifier: MIT
# Reads src/export_list.h, the one list of the exports, for the build.
include(${CMAKE_CURRENT_LIST_DIR}/text_lines.cmake)
set(VELMORA_EXPORT_LIST ${PROJECT_SOURCE_DIR}/src/export_list.h)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${VELMORA_EXPORT_LIST})

# Sets <var> to the list's lines as "name;ordinal" pairs in a flat list.
function(velmora_read_exports var)
    file(STRINGS ${VELMORA_EXPORT_LIST} lines REGEX "^VELMORA_EXPORT\\(")
    set(pairs "")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^VELMORA_EXPORT\\(([A-Za-z_][A-Za-z0-9_]*), *([0-9]+),")
            message(FATAL_ERROR "${VELMORA_EXPORT_LIST}: cannot read: ${line}")
        endif()
        list(APPEND pairs ${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
    endforeach()
    set(${var} ${pairs} PARENT_SCOPE)
endfunction()

# Writes the Windows module-definition file: each name at its own ordinal.
function(velmora_write_def path)
    velmora_read_exports(pairs)
    set(text "; SPDX-License-Identifier: MIT\n; Made from src/export_list.h by cmake/export_list.cmake.\n")
    string(APPEND text "LIBRARY velmora.dll\nEXPORTS\n")
    while(pairs)
        list(POP_FRONT pairs name ordinal)
        string(LENGTH "${name}" length)
        math(EXPR padding "24 - ${length}")
        if(padding LESS 1)
            set(padding 1)
        endif()
        string(REPEAT " " ${padding} spaces)
        string(APPEND text "    ${name}${spaces}@${ordinal}\n")
    endwhile()
    # Written only when it changes, so that the link reruns only then.
    write_if_changed(${path} "${text}")
endfunction()
