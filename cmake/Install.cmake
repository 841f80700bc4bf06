# Installs headers, both libraries in both forms, data, a CMake package and a pkg-config file.
include(CMakePackageConfigHelpers)

set(VANTORA_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vantora)

# Outside the build the libraries are Vantora::vantora_shared, Vantora::vantora_static,
# Vantora::host_shared and Vantora::host_static; the package's configuration picks the forms
# behind Vantora::vantora and Vantora::host.
set_target_properties(vantora_host_shared PROPERTIES EXPORT_NAME host_shared)
set_target_properties(vantora_host_static PROPERTIES EXPORT_NAME host_static)
install(TARGETS vantora_host_shared vantora_host_static vantora_shared vantora_static EXPORT VantoraTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY src/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantora FILES_MATCHING PATTERN "*.h")
install(FILES ${VANTORA_GENERATED_INCLUDE_DIR}/VantoraExport.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantora)
install(EXPORT VantoraTargets NAMESPACE Vantora:: DESTINATION ${VANTORA_CMAKE_INSTALL_DIR})

# The configuration looks for SDL2 for the static host library when it was built with it.
configure_package_config_file(cmake/VantoraConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/VantoraConfig.cmake
                              INSTALL_DESTINATION ${VANTORA_CMAKE_INSTALL_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VantoraConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VantoraConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/VantoraConfigVersion.cmake
        DESTINATION ${VANTORA_CMAKE_INSTALL_DIR})

# The .pc file finds the installation relative to itself, so an unpacked package works where it lies.
file(RELATIVE_PATH VANTORA_PC_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" VANTORA_PC_PREFIX "${VANTORA_PC_PREFIX}")
if(VANTORA_WITH_SDL)
  set(VANTORA_PC_SDL " sdl2")
endif()
# pkg-config always gives a module's Libs, and the linker takes libvantora.so before libvantora.a
# beside it, so the static libraries have a module of their own.
foreach(module vantora vantora-static)
  configure_file(cmake/${module}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${module}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${module}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
