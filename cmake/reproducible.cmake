# SPDX-License-Identifier: MIT
# The same commit builds to the same bytes in any folder at any time, so that
# anyone can check that a binary or a package came from the source: no build
# path, clock time or umask reaches what is made.

# The time stamped into anything made is the commit's own (git's committer
# date) unless the builder sets SOURCE_DATE_EPOCH, as packagers do. The
# value is kept for the tools that run later (cpack, scdoc) and is set for
# those run while configuring.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(VELMORA_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    find_package(Git QUIET)
    if(GIT_EXECUTABLE)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE VELMORA_SOURCE_DATE_EPOCH
            OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(NOT VELMORA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        # Outside a git checkout: the changelog's time, which an unpacked
        # release archive keeps.
        file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CHANGELOG.md VELMORA_SOURCE_DATE_EPOCH "%s" UTC)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${VELMORA_SOURCE_DATE_EPOCH})
endif()

# Debug information and __FILE__ name the files relative to the source tree
# or the build tree (the compiler's working folder, "."). The build tree's map
# comes last, as GCC and Clang take the last map that matches and the build
# tree often lies inside the source tree.
add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>")

# Programs in the build tree find the library by a path relative to themselves.
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
# Folders made by an install (and so by the packages) get the same mode
# whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
    # A PE file's header carries a link time unless told not to; the field
    # stays 0 (nothing in Windows' loader reads it).
    add_link_options(-Wl,--no-insert-timestamp)
endif()
