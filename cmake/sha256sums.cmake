# SPDX-License-Identifier: MIT
# Run by cpack once the packages are made (CPACK_POST_BUILD_SCRIPTS): writes
# SHA256SUMS beside them, one line a package in the form sha256sum -c reads.
set(names "")
foreach(file IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(name "${file}" NAME)
    list(APPEND names "${name}")
endforeach()
list(SORT names)
set(sums "")
foreach(name IN LISTS names)
    file(SHA256 "${CPACK_PACKAGE_DIRECTORY}/${name}" hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS" "${sums}")
message(STATUS "SHA256SUMS written for ${names}")
