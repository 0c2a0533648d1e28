# SPDX-License-Identifier: MIT
# The library the ways users take it: installed into a prefix and found with
# find_package or pkg-config, loaded by name, its tool run from there, and
# built inside another project as a subproject. Each example is built with
# `ctest --build-and-test`, by the compilers of this build. Sanitized builds
# leave these out: the examples would load a sanitized library unsanitized.
set(prefix ${CMAKE_CURRENT_BINARY_DIR}/installed)
set(consumers ${CMAKE_CURRENT_BINARY_DIR}/consumers)
set(libdir ${prefix}/${CMAKE_INSTALL_LIBDIR})

# A fresh prefix each run, so that nothing of an earlier install is found.
add_test(NAME install
    COMMAND bash -c "rm -rf \"$1\" && \"$0\" --install \"$2\" --prefix \"$1\" >/dev/null"
            ${CMAKE_COMMAND} ${prefix} ${PROJECT_BINARY_DIR})
set_tests_properties(install PROPERTIES FIXTURES_SETUP installed)

if(WIN32)
    # What a Windows user finds in the prefix; installing and reading it run
    # no Windows program, so under a guest they stay on the build machine.
    set_tests_properties(install PROPERTIES LABELS inspection)
    if(VELMORA_SHARED)
        set(windows_files bin/velmora.dll bin/velmora.exe lib/libvelmora.dll.a lib/velmora.lib
                          lib/velmora.def)
    else()
        set(windows_files lib/libvelmora.a bin/velmora.exe)
    endif()
    list(APPEND windows_files include/velmora.h lib/cmake/velmora/velmoraConfig.cmake
                              lib/pkgconfig/velmora.pc LICENSE)
    add_test(NAME installed_windows_layout
        COMMAND bash -c "cd \"$0\" && status=0 && for file in \"$@\"; do [ -f \"$file\" ] || { echo \"missing: $file\"; status=1; }; done; exit $status"
                ${prefix} ${windows_files})
    set_tests_properties(installed_windows_layout PROPERTIES FIXTURES_REQUIRED installed LABELS inspection)
    if(VELMORA_SHARED)
        add_test(NAME installed_dll_version_resource
            COMMAND bash -c "${CMAKE_OBJDUMP} -h \"$0\" | grep -q '\\.rsrc'" ${prefix}/bin/velmora.dll)
        set_tests_properties(installed_dll_version_resource PROPERTIES
            FIXTURES_REQUIRED installed LABELS inspection)
    endif()
    return()
endif()

set(build_options -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER} -DCMAKE_PREFIX_PATH=${prefix})
add_test(NAME installed_find_package
    COMMAND ${CMAKE_CTEST_COMMAND} --build-and-test ${PROJECT_SOURCE_DIR}/examples/find_package
            ${consumers}/find_package --build-generator ${CMAKE_GENERATOR}
            --build-makeprogram ${CMAKE_MAKE_PROGRAM} --build-options ${build_options}
            --test-command split_path)
set_tests_properties(installed_find_package PROPERTIES
    FIXTURES_REQUIRED installed FIXTURES_SETUP find_package_example
    ENVIRONMENT LD_LIBRARY_PATH=${libdir})

# pkg-config escapes what the shell would take apart (and every byte beyond
# ASCII): its flags are meant to be read back by the shell, as eval does.
add_test(NAME installed_pkg_config
    COMMAND bash -c "source=$0 program=$1 && eval \"set -- $(pkg-config --cflags --libs velmora)\" && ${CMAKE_CXX_COMPILER} -std=c++17 -Wall -Werror \"$source\" \"$@\" -o \"$program\" && \"$program\""
            ${PROJECT_SOURCE_DIR}/examples/pkg_config/match.cpp ${consumers}/pkg_config_match)
set_tests_properties(installed_pkg_config PROPERTIES FIXTURES_REQUIRED installed
    ENVIRONMENT "PKG_CONFIG_PATH=${libdir}/pkgconfig;LD_LIBRARY_PATH=${libdir}")

add_test(NAME installed_tool
    COMMAND bash -c "[ \"$(\"$0\" get_file_part 'C:\\dir\\file.txt')\" = file.txt ]" ${prefix}/bin/velmora)
set_tests_properties(installed_tool PROPERTIES FIXTURES_REQUIRED installed
    ENVIRONMENT LD_LIBRARY_PATH=${libdir})

if(VELMORA_SHARED)
    add_test(NAME installed_loaded_by_name
        COMMAND bash -c "${CMAKE_C_COMPILER} -std=c99 -Wall -Werror \"$0\" -ldl -o \"$1\" && \"$1\""
                ${PROJECT_SOURCE_DIR}/examples/runtime_load/load.c ${consumers}/load)
    set_tests_properties(installed_loaded_by_name PROPERTIES FIXTURES_REQUIRED installed
        ENVIRONMENT LD_LIBRARY_PATH=${libdir})
else()
    add_test(NAME installed_static_library COMMAND test -f ${libdir}/libvelmora.a)
    add_test(NAME installed_pkg_config_says_static
        COMMAND grep -q -- -DVELMORA_STATIC ${libdir}/pkgconfig/velmora.pc)
    add_test(NAME installed_cmake_target_says_static
        COMMAND grep -rq VELMORA_STATIC ${libdir}/cmake/velmora)
    set_tests_properties(installed_static_library installed_pkg_config_says_static
        installed_cmake_target_says_static PROPERTIES FIXTURES_REQUIRED installed)
    add_test(NAME installed_static_example_needs_no_shared_library
        COMMAND bash -c "! readelf -d \"$0\" | grep -q libvelmora" ${consumers}/find_package/split_path)
    set_tests_properties(installed_static_example_needs_no_shared_library PROPERTIES
        FIXTURES_REQUIRED find_package_example)
    return()
endif()

# Built inside another project: only the library, no tests, no install rules.
set(subproject ${consumers}/subproject)
add_test(NAME subproject
    COMMAND ${CMAKE_CTEST_COMMAND} --build-and-test ${PROJECT_SOURCE_DIR}/examples/subproject
            ${subproject} --build-generator ${CMAKE_GENERATOR}
            --build-makeprogram ${CMAKE_MAKE_PROGRAM}
            --build-options -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
                            -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
                            -DVELMORA_SOURCE_DIR=${PROJECT_SOURCE_DIR}
            --test-command split_path)
set_tests_properties(subproject PROPERTIES FIXTURES_SETUP subproject)
add_test(NAME subproject_adds_no_tests
    COMMAND bash -c "${CMAKE_CTEST_COMMAND} --test-dir \"$0\" -N | grep -qx 'Total Tests: 0'" ${subproject})
add_test(NAME subproject_adds_no_install_rules
    COMMAND bash -c "${CMAKE_COMMAND} --install \"$0\" --prefix \"$0/prefix\" >/dev/null && [ -z \"$(find \"$0/prefix\" -type f 2>/dev/null)\" ]"
            ${subproject})
set_tests_properties(subproject_adds_no_tests subproject_adds_no_install_rules PROPERTIES
    FIXTURES_REQUIRED subproject)
if(CMAKE_GENERATOR STREQUAL "Ninja")
    add_test(NAME subproject_builds_only_the_library
        COMMAND bash -c "! ${CMAKE_MAKE_PROGRAM} -C \"$0\" -t targets all | grep -qE 'velmora_tool|_test|velmora_tour'"
                ${subproject})
    set_tests_properties(subproject_builds_only_the_library PROPERTIES FIXTURES_REQUIRED subproject)
endif()
