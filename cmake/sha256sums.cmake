# SPDX-License-Identifier: MIT
# Run by cpack once the packages are made (CPACK_POST_BUILD_SCRIPTS), before
# they are copied out: writes SHA256SUMS into the packages' folder, one line
# a package in the form `sha256sum -c` reads.
set(sums "")
set(files ${CPACK_PACKAGE_FILES})
list(SORT files)
foreach(file IN LISTS files)
    get_filename_component(name "${file}" NAME)
    file(SHA256 "${file}" hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS" "${sums}")
