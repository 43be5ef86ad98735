# What `cmake --install` puts under the prefix for a host: the shared library with its SONAME
# links, the public headers (the generated version header among them), a pkg-config file and
# a CMake package that gives the imported target tesk::tesk.
include(CMakePackageConfigHelpers)

set(TESK_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tesk)
set(TESK_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS tesk EXPORT teskTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY include/tesk ${TESK_GENERATED_INCLUDE_DIR}/tesk DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")

install(EXPORT teskTargets NAMESPACE tesk:: DESTINATION ${TESK_CMAKE_PACKAGE_DIR})
configure_package_config_file(cmake/teskConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/teskConfig.cmake
                              INSTALL_DESTINATION ${TESK_CMAKE_PACKAGE_DIR})
# Hosts built for one major version keep working with every later release of it.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/teskConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/teskConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/teskConfigVersion.cmake
        DESTINATION ${TESK_CMAKE_PACKAGE_DIR})

# The .pc file finds the prefix from its own place, so an installed tree can be moved.
file(RELATIVE_PATH TESK_PC_TO_PREFIX /prefix/${TESK_PKGCONFIG_DIR} /prefix)
string(REGEX REPLACE "/$" "" TESK_PC_TO_PREFIX "${TESK_PC_TO_PREFIX}")
configure_file(cmake/tesk.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tesk.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tesk.pc DESTINATION ${TESK_PKGCONFIG_DIR})
