# SPDX-License-Identifier: MIT
# Text files for the scripts that read the header's contracts and the
# README's examples: a file as a CMake list of its lines, and a made file
# written only when it changes, so that what depends on it is rebuilt only
# then. CMake lists split at
# semicolons and pair square brackets, so both are hidden in the lines
# (`semicolon`, `open_bracket`, `close_bracket` stand for them) and
# unhide() puts them back.
string(ASCII 1 semicolon)
string(ASCII 2 open_bracket)
string(ASCII 3 close_bracket)

function(velmora_read_lines path var)
    file(READ "${path}" content)
    string(REPLACE ";" "${semicolon}" content "${content}")
    string(REPLACE "[" "${open_bracket}" content "${content}")
    string(REPLACE "]" "${close_bracket}" content "${content}")
    string(REPLACE "\r" "" content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    set(${var} "${lines}" PARENT_SCOPE)
endfunction()

function(unhide var text)
    string(REPLACE "${semicolon}" ";" text "${text}")
    string(REPLACE "${open_bracket}" "[" text "${text}")
    string(REPLACE "${close_bracket}" "]" text "${text}")
    set(${var} "${text}" PARENT_SCOPE)
endfunction()

function(write_if_changed path text)
    if(EXISTS "${path}")
        file(READ "${path}" old)
        if(old STREQUAL text)
            return()
        endif()
    endif()
    file(WRITE "${path}" "${text}")
endfunction()
