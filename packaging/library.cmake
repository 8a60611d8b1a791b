# SPDX-License-Identifier: MIT
# The shared library, and what a program builds against it with: the header, and both
# pkg-config's quobrel.pc and CMake's package (find_package(Quobrel), target
# Quobrel::quobrel), which find the library wherever the install put it. And the Python
# module, over the library.
include(CMakePackageConfigHelpers)

install(TARGETS libquobrel EXPORT QuobrelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
                NAMELINK_COMPONENT development)
drop_compiler_notes(libquobrel library ${CMAKE_INSTALL_LIBDIR})
install(FILES library.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME libquobrel${abi_major} COMPONENT library)
install(FILES ${PROJECT_SOURCE_DIR}/include/quobrel/quobrel.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quobrel COMPONENT development)

set(pkgconfig_folder ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
# The prefix as seen from the .pc file's folder, so that any prefix the install is given works.
file(RELATIVE_PATH pkgconfig_to_prefix ${CMAKE_INSTALL_PREFIX}/${pkgconfig_folder}
     ${CMAKE_INSTALL_PREFIX})
configure_file(quobrel.pc.in quobrel.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quobrel.pc DESTINATION ${pkgconfig_folder}
        COMPONENT development)

set(cmake_package_folder ${CMAKE_INSTALL_LIBDIR}/cmake/Quobrel)
install(EXPORT QuobrelTargets NAMESPACE Quobrel:: DESTINATION ${cmake_package_folder}
        COMPONENT development)
configure_package_config_file(QuobrelConfig.cmake.in QuobrelConfig.cmake
                              INSTALL_DESTINATION ${cmake_package_folder})
write_basic_package_version_file(QuobrelConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/QuobrelConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/QuobrelConfigVersion.cmake
        DESTINATION ${cmake_package_folder} COMPONENT development)

# Where Debian's Python finds modules of Debian's packages.
set(python_folder lib/python3/dist-packages)
install(TARGETS python_module LIBRARY DESTINATION ${python_folder} COMPONENT python)
drop_compiler_notes(python_module python ${python_folder})
