# cmake --install puts the libraries, their headers and a package config in place,
# so a downstream project can find_package(leafkit) and link leafkit::<Name>.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

get_property(_leafkit_libraries GLOBAL PROPERTY LEAFKIT_LIBRARIES)
if(_leafkit_libraries)
  install(TARGETS ${_leafkit_libraries}
    EXPORT leafkitTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/leafkit)
  install(EXPORT leafkitTargets
    NAMESPACE leafkit::
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/leafkit)
endif()

configure_package_config_file(cmake/leafkitConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/leafkitConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/leafkit)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/leafkitConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/leafkitConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/leafkitConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/leafkit)
