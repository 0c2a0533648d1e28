# SPDX-License-Identifier: MIT
# Hardening of everything built, as a distribution builds it: the checks run
# in tests/inspection/check_hardening.sh.
include(CheckCXXSourceCompiles)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # Stack canaries in functions with arrays or addresses taken; large
    # frames (the POSIX file queries' paths in UTF-8) touched page by page, so
    # that they never step over a thread's guard page; the processor's
    # indirect-branch and return checks where the processor has them: CET
    # on x86, branch protection on 64-bit ARM (IBM Z has neither).
    add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>
                        $<$<COMPILE_LANGUAGE:C,CXX>:-fstack-clash-protection>)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i[3-6]86)$")
        add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-fcf-protection=full>)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
        add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-mbranch-protection=standard>)
    endif()
    # Relocations read-only after loading, every symbol bound at load, and a
    # stack that is never executable.
    add_link_options(-Wl,-z,relro -Wl,-z,now -Wl,-z,noexecstack)

    # Checked C library calls at the highest level the compiler and the C
    # library agree on (3 wants GCC 12 and glibc 2.34). It needs an
    # optimising build, and sanitizers intercept the same calls themselves.
    if(NOT VELMORA_SANITIZE AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
        foreach(level IN ITEMS 3 2)
            set(CMAKE_REQUIRED_FLAGS "-O2 -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=${level}")
            set(CMAKE_REQUIRED_QUIET ON)
            check_cxx_source_compiles("
                #include <cstdio>
                #if !defined(__USE_FORTIFY_LEVEL) || __USE_FORTIFY_LEVEL < ${level}
                #error the C library takes a lower level
                #endif
                int main() { return 0; }" VELMORA_FORTIFY_${level})
            unset(CMAKE_REQUIRED_FLAGS)
            if(VELMORA_FORTIFY_${level})
                set(VELMORA_FORTIFY_LEVEL ${level})
                break()
            endif()
        endforeach()
        if(VELMORA_FORTIFY_LEVEL)
            add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-U_FORTIFY_SOURCE>
                                $<$<COMPILE_LANGUAGE:C,CXX>:-D_FORTIFY_SOURCE=${VELMORA_FORTIFY_LEVEL}>)
        endif()
    endif()
elseif(WIN32)
    # Address-space randomisation (with 64-bit addresses where there are
    # any) and a data execution guard, said outright rather than left to the
    # linker's defaults. MinGW-w64's stack protector and checked calls of
    # this release need GCC's libssp, which the DLL does without.
    add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        add_link_options(-Wl,--high-entropy-va)
    endif()
endif()
