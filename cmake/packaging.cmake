# SPDX-License-Identifier: MIT
# Packages made by `cpack` from a build: for Windows one ZIP per architecture
# with everything a user needs; for Linux Debian packages, one per component,
# named as Debian names them.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "the velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_SOURCE_GENERATOR "")
# The same sources give the same packages (cmake/reproducible.cmake), and
# SHA256SUMS lists them all.
configure_file(${PROJECT_SOURCE_DIR}/cmake/templates/CPackProjectConfig.cmake.in
    ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/sha256sums.cmake)

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
    # A cross build's packages are for its target, named as Debian names the
    # architecture; dpkg-shlibdeps finds the target's C library beside the
    # cross compiler.
    if(CMAKE_CROSSCOMPILING)
        if(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
            set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
        else()
            set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})
        endif()
        list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_FIND_ROOT_PATH}/lib)
        # For the tool's C++ runtime dpkg-shlibdeps would name the cross
        # compiler's own package (libgcc-s1-arm64-cross), which the target
        # lacks: there the tool's dependencies are named as the target's
        # packages are, the C library at the version built against.
        file(STRINGS ${CMAKE_FIND_ROOT_PATH}/include/features.h glibc_minor
            REGEX "^#define[ \t]+__GLIBC_MINOR__[ \t]+[0-9]+")
        string(REGEX REPLACE ".*[ \t]([0-9]+)$" "\\1" glibc_minor "${glibc_minor}")
        string(REGEX MATCH "^[0-9]+" compiler_major ${CMAKE_CXX_COMPILER_VERSION})
        set(CPACK_DEBIAN_TOOLS_PACKAGE_SHLIBDEPS OFF)
        set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS
            "libc6 (>= 2.${glibc_minor}), libgcc-s1 (>= 3.0), libstdc++6 (>= ${compiler_major})")
    endif()
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

    # The symbols file: dpkg-shlibdeps gives a program that uses the library
    # a dependency on the first release with the symbols it uses. Every
    # export of 1.0 (cmake/abi.cmake) came with 1.0.0.
    if(VELMORA_SHARED)
        set(symbols "libvelmora.so.${PROJECT_VERSION_MAJOR} ${VELMORA_PACKAGE_runtime} #MINVER#\n")
        string(APPEND symbols "* Build-Depends-Package: ${VELMORA_PACKAGE_development}\n")
        string(APPEND symbols " ${VELMORA_ABI_VERSION}@${VELMORA_ABI_VERSION} 1.0.0\n")
        set(names ${VELMORA_EXPORTS})
        list(SORT names COMPARE STRING)
        foreach(name IN LISTS names)
            string(APPEND symbols " ${name}@${VELMORA_ABI_VERSION} 1.0.0\n")
        endforeach()
        set(VELMORA_DEBIAN_SYMBOLS ${PROJECT_BINARY_DIR}/debian/symbols)
        file(CONFIGURE OUTPUT ${VELMORA_DEBIAN_SYMBOLS} CONTENT "${symbols}" @ONLY)
    endif()

    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${VELMORA_PACKAGE_runtime})
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # The shared object's cache is renewed by dpkg's trigger; the symbols
    # file (made above) gives programs built against the library the
    # version they need.
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers
        ${VELMORA_DEBIAN_SYMBOLS})
    string(CONCAT CPACK_COMPONENT_RUNTIME_DESCRIPTION
        "${PROJECT_DESCRIPTION} (shared library)\n"
        "velmora tests, adds and removes the long-path and UNC prefixes of\n"
        "Windows paths, finds their drive, file-name and path parts, pushes and\n"
        "pops components, matches paths against wildcard masks and asks the file\n"
        "system about a path.")

    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${VELMORA_PACKAGE_development})
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
    set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
    string(CONCAT CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
        "${PROJECT_DESCRIPTION} (development files)\n"
        "The C header, the CMake package, the pkg-config file and the manual\n"
        "pages of the C interface (one a function, section 3) for building\n"
        "programs against the velmora library.")

    set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${VELMORA_PACKAGE_tools})
    set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
    set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
    string(CONCAT CPACK_COMPONENT_TOOLS_DESCRIPTION
        "${PROJECT_DESCRIPTION} (command-line tool)\n"
        "The velmora command calls any function of the library by name, one\n"
        "call per command or a batch of calls from standard input, with output\n"
        "for scripts.")
endif()
include(CPack)
