# SPDX-License-Identifier: MIT
# The library's ABI, made from the export list (src/export_list.h, read by
# cmake/export_list.cmake) and checked against the one recorded in abi/: on
# Linux a version script that puts every export at VELMORA_1.0 and keeps
# everything else inside the library (the Debian symbols file follows it,
# cmake/packaging.cmake); on Windows the export table with its ordinals
# (tests/inspection/check_abi.sh).
velmora_read_exports(export_pairs)
set(VELMORA_EXPORTS "")
while(export_pairs)
    list(POP_FRONT export_pairs name ordinal)
    list(APPEND VELMORA_EXPORTS ${name})
endwhile()

# The exports of 1.0 keep this version for good. Every export in the list is
# put under it: an export added later needs a node of its own release here.
set(VELMORA_ABI_VERSION VELMORA_1.0)

if(VELMORA_SHARED AND NOT WIN32)
    set(script "/* Made from src/export_list.h by cmake/abi.cmake. */\n")
    string(APPEND script "${VELMORA_ABI_VERSION} {\n    global:\n")
    foreach(name IN LISTS VELMORA_EXPORTS)
        string(APPEND script "        ${name};\n")
    endforeach()
    string(APPEND script "    local:\n        *;\n};\n")
    set(VELMORA_VERSION_SCRIPT ${PROJECT_BINARY_DIR}/velmora.map)
    file(CONFIGURE OUTPUT ${VELMORA_VERSION_SCRIPT} CONTENT "${script}" @ONLY)
    target_link_options(velmora PRIVATE -Wl,--version-script=${VELMORA_VERSION_SCRIPT})
    set_property(TARGET velmora APPEND PROPERTY LINK_DEPENDS ${VELMORA_VERSION_SCRIPT})
endif()

# Sanitizer builds carry their runtimes' symbols and checks of their own.
# The recorded ABI and the hardening checks are the x86 builds' (the Linux
# one and the two DLLs); the other Linux targets are checked by their tests.
if(VELMORA_BUILD_TESTS AND VELMORA_SHARED AND NOT VELMORA_SANITIZE
   AND (WIN32 OR NOT CMAKE_CROSSCOMPILING))
    add_test(NAME abi
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/inspection/check_abi.sh $<TARGET_FILE:velmora>
                ${PROJECT_SOURCE_DIR}/abi)
    if(NOT WIN32)
        # The CET property of our own objects, which the linked files lose
        # where the C library's start files lack it.
        set(objects --objects $<TARGET_OBJECTS:velmora_objects>)
    endif()
    add_test(NAME hardening
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/inspection/check_hardening.sh $<TARGET_FILE:velmora>
                $<$<TARGET_EXISTS:velmora_tool>:$<TARGET_FILE:velmora_tool>>
                ${objects})
    set_tests_properties(abi hardening PROPERTIES LABELS inspection)
endif()
