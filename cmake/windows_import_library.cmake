# SPDX-License-Identifier: MIT
# An MSVC-style import library, velmora.lib, made from the module-definition
# file beside the GNU one MinGW links by, so that MSVC (and clang-cl, or
# lld-link) users can link the DLL without MinGW.
find_program(VELMORA_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14)
if(NOT VELMORA_DLLTOOL)
    message(WARNING "llvm-dlltool not found: no velmora.lib for MSVC users is made")
    return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(velmora_dlltool_machine i386:x86-64)
else()
    set(velmora_dlltool_machine i386)
endif()
set(VELMORA_MSVC_IMPORT_LIBRARY ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/velmora.lib)
add_custom_command(OUTPUT ${VELMORA_MSVC_IMPORT_LIBRARY}
    COMMAND ${VELMORA_DLLTOOL} -m ${velmora_dlltool_machine} -D velmora.dll
            -d ${VELMORA_DEF_FILE} -l ${VELMORA_MSVC_IMPORT_LIBRARY}
    DEPENDS ${VELMORA_DEF_FILE}
    COMMENT "Making the MSVC import library velmora.lib")
add_custom_target(velmora_msvc_import_library ALL DEPENDS ${VELMORA_MSVC_IMPORT_LIBRARY})
set(VELMORA_MSVC_IMPORT_LIBRARY ${VELMORA_MSVC_IMPORT_LIBRARY} PARENT_SCOPE)
