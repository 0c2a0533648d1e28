# SPDX-License-Identifier: MIT
# Makes a C file from the README's ```c blocks, in the README's order, as the
# body of one function: what the examples declare stays in scope for the
# examples after them, as a reader takes it. A statement whose comment gives
# its answer is checked against it:
#   /* 1 */, /* 0 in the "C" locale */   the call returns that number
#   /* 1, is_dir 16 */                   and leaves that number in is_dir
#   /* null ... */                        the call returns null
#   /* "TEXT" */                         the call returns a pointer to TEXT
#   /* out: TEXT */                       after the call, out holds TEXT
# An answer that ends ", on Linux" is checked on Linux alone. Any other
# comment is the reader's alone. Each check names its README line.
# Usage: cmake -DREADME=... -DOUT=... -P extract_c_examples.cmake
foreach(required README OUT)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "extract_c_examples.cmake needs -D${required}=...")
    endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/text_lines.cmake)
velmora_read_lines("${README}" lines)

# TEXT as the body of a wide literal: the README shows it as it reads.
function(wide_literal var text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    set(${var} "L\"${text}\"" PARENT_SCOPE)
endfunction()

set(body "")
set(in_block FALSE)
set(blocks 0)
set(number 0)
foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(NOT in_block)
        if(line STREQUAL "```c")
            set(in_block TRUE)
            math(EXPR blocks "${blocks} + 1")
            string(APPEND body "    /* README.md line ${number} */\n")
        endif()
        continue()
    endif()
    if(line STREQUAL "```")
        set(in_block FALSE)
        continue()
    endif()
    string(APPEND body "#line ${number} \"README.md\"\n")
    set(hidden "${line}")
    unhide(line "${line}")
    if(NOT hidden MATCHES "^(.*[^ ]) *${semicolon} */\\* (.*) \\*/ *$")
        string(APPEND body "    ${line}\n")
        continue()
    endif()
    unhide(call "${CMAKE_MATCH_1}")
    unhide(answer "${CMAKE_MATCH_2}")
    # An answer said to hold on Linux is checked on Linux alone.
    set(linux_only FALSE)
    if(answer MATCHES ", on Linux$")
        set(linux_only TRUE)
        string(APPEND body "#if defined(_WIN32)\n    ${call};\n#else\n")
    endif()
    if(answer MATCHES "^(-?[0-9]+)($|[:, ])")
        string(APPEND body "    expect_number(${number}, ${call}, ${CMAKE_MATCH_1});\n")
        # "1, is_dir 16": the out-parameter's value too.
        if(answer MATCHES "^-?[0-9]+, ([a-z_]+) (-?[0-9]+)$")
            string(APPEND body "    expect_number(${number}, ${CMAKE_MATCH_1}, ${CMAKE_MATCH_2});\n")
        endif()
    elseif(answer MATCHES "^null($|[:, ])")
        string(APPEND body "    expect_null(${number}, ${call});\n")
    elseif(answer MATCHES "^\"(.*)\"$")
        wide_literal(want "${CMAKE_MATCH_1}")
        string(APPEND body "    expect_text(${number}, ${call}, ${want});\n")
    elseif(answer MATCHES "^out: (.*)$")
        wide_literal(want "${CMAKE_MATCH_1}")
        string(APPEND body "    ${call};\n    expect_text(${number}, out, ${want});\n")
    else()
        string(APPEND body "    ${line}\n")
    endif()
    if(linux_only)
        string(APPEND body "#endif\n")
    endif()
endforeach()
if(blocks EQUAL 0)
    message(FATAL_ERROR "${README}: no ```c block")
endif()

set(text "/* Made from README.md by tests/readme/extract_c_examples.cmake. */\n")
string(APPEND text "#include \"readme_examples.h\"\n\nvoid readme_examples(void)\n{\n${body}}\n")
write_if_changed("${OUT}" "${text}")
