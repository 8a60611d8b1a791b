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

# quobrel.pc names the prefix the install is given (the packages': /usr), known only as it
# runs.
install(CODE "set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(libdir \"${CMAKE_INSTALL_LIBDIR}\")
  set(includedir \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(version ${PROJECT_VERSION})
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/quobrel.pc.in\"
                 \"${CMAKE_CURRENT_BINARY_DIR}/quobrel.pc\" @ONLY)" COMPONENT development)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quobrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
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

# Where Debian's Python finds modules of Debian's packages. The module finds the library
# beside it in any prefix, as the packages' folders have it.
set(python_folder lib/python3/dist-packages)
file(RELATIVE_PATH module_to_library /${python_folder} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(python_module PROPERTIES INSTALL_RPATH \$ORIGIN/${module_to_library})
install(TARGETS python_module LIBRARY DESTINATION ${python_folder} COMPONENT python)
drop_compiler_notes(python_module python ${python_folder})
