# SPDX-License-Identifier: MIT
# What an install lays out, by component, so that packages can take their
# part: `runtime` the shared library, `development` what building against it
# needs, `tools` the command (tools/CMakeLists.txt), each with the licence.
set(VELMORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/velmora)
set(VELMORA_CONTACT "velmora developers <developers@velmora.invalid>")

install(TARGETS velmora EXPORT velmoraTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
        NAMELINK_COMPONENT development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${VELMORA_INCLUDE_DIR}/velmora.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
if(WIN32 AND VELMORA_SHARED)
    install(FILES ${VELMORA_DEF_FILE} DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
    if(VELMORA_MSVC_IMPORT_LIBRARY)
        install(FILES ${VELMORA_MSVC_IMPORT_LIBRARY}
            DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
    endif()
endif()

install(EXPORT velmoraTargets NAMESPACE velmora::
    DESTINATION ${VELMORA_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/templates/velmoraConfig.cmake.in
    ${PROJECT_BINARY_DIR}/velmoraConfig.cmake
    INSTALL_DESTINATION ${VELMORA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/velmoraConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/velmoraConfig.cmake
              ${PROJECT_BINARY_DIR}/velmoraConfigVersion.cmake
    DESTINATION ${VELMORA_CMAKE_DIR} COMPONENT development)

# The .pc file finds its prefix from where it lies, so the install can move.
file(RELATIVE_PATH VELMORA_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
if(VELMORA_SHARED)
    set(VELMORA_PC_CFLAGS "")
else()
    set(VELMORA_PC_CFLAGS " -DVELMORA_STATIC")
endif()
configure_file(cmake/templates/velmora.pc.in ${PROJECT_BINARY_DIR}/velmora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velmora.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

# The licence and the release notes travel with every part: in a Windows
# archive once at its top, on Linux in each package's documentation folder,
# as Debian lays them out.
set(VELMORA_PACKAGE_runtime libvelmora${PROJECT_VERSION_MAJOR})
set(VELMORA_PACKAGE_development libvelmora-dev)
set(VELMORA_PACKAGE_tools velmora-tools)
if(WIN32)
    install(FILES LICENSE README.md CHANGELOG.md DESTINATION . COMPONENT runtime)
else()
    set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
    # In Debian's form, which lintian reads, made from CHANGELOG.md.
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog
        COMMAND ${CMAKE_COMMAND} -DCHANGELOG=${PROJECT_SOURCE_DIR}/CHANGELOG.md
                -DOUTPUT=${PROJECT_BINARY_DIR}/changelog -DPACKAGE=${PROJECT_NAME}
                "-DMAINTAINER=${VELMORA_CONTACT}"
                -P ${PROJECT_SOURCE_DIR}/cmake/debian_changelog.cmake
        DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/cmake/debian_changelog.cmake
        VERBATIM)
    add_custom_command(OUTPUT ${changelog}
        COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/changelog > ${changelog}
        DEPENDS ${PROJECT_BINARY_DIR}/changelog)
    add_custom_target(velmora_changelog ALL DEPENDS ${changelog})
    set(components runtime development)
    if(VELMORA_BUILD_TOOLS)
        list(APPEND components tools)
    endif()
    foreach(component IN LISTS components)
        set(doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VELMORA_PACKAGE_${component}})
        install(FILES LICENSE DESTINATION ${doc} RENAME copyright COMPONENT ${component})
        install(FILES ${changelog} DESTINATION ${doc} COMPONENT ${component})
    endforeach()
endif()
