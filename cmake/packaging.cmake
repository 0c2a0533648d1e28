# SPDX-License-Identifier: MIT
# Packages made by `cpack` from a build: for Windows one ZIP per architecture
# with everything a user needs; for Linux Debian packages, one per component,
# named as Debian names them.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "the velmora developers")
set(CPACK_PACKAGE_CONTACT "velmora developers <developers@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(CPACK_SYSTEM_NAME x64)
    else()
        set(CPACK_SYSTEM_NAME x86)
    endif()
    set(CPACK_PACKAGE_FILE_NAME velmora-${PROJECT_VERSION}-windows-${CPACK_SYSTEM_NAME})
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL runtime development)
    if(VELMORA_BUILD_TOOLS)
        list(APPEND CPACK_COMPONENTS_ALL tools)
    endif()
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # dpkg-shlibdeps finds our own library for the tool's dependencies here.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${VELMORA_PACKAGE_runtime})
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # The shared object's cache is renewed by dpkg's trigger.
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
    set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
        "${PROJECT_DESCRIPTION} (shared library)\n"
        "velmora tests, adds and removes the long-path and UNC prefixes of\n"
        "Windows paths, finds their drive, file-name and path parts, pushes and\n"
        "pops components, matches paths against wildcard masks and asks the file\n"
        "system about a path.")

    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${VELMORA_PACKAGE_development})
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
    set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
    set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
        "${PROJECT_DESCRIPTION} (development files)\n"
        "The C header, the CMake package, the pkg-config file and the manual\n"
        "pages of the C interface (one a function, section 3) for building\n"
        "programs against the velmora library.")

    set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${VELMORA_PACKAGE_tools})
    set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
    set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
    set(CPACK_COMPONENT_TOOLS_DESCRIPTION
        "${PROJECT_DESCRIPTION} (command-line tool)\n"
        "The velmora command calls any function of the library by name, one\n"
        "call per command or a batch of calls from standard input, with output\n"
        "for scripts.")
endif()
include(CPack)
