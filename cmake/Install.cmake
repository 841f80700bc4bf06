# Installs headers, libraries, data, a CMake package config and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS vantora_host_classes vantora_host_graphics vantora_host_backends vantora_host_forms vantora_host_widgets
                vantora_host_dialogs vantora_host vantora_util vantora_base vantora_core vantora_palette vantora_effects
                vantora_model vantora_controls vantora_design vantora EXPORT VantoraTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY src/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantora FILES_MATCHING PATTERN "*.h")
install(EXPORT VantoraTargets NAMESPACE Vantora:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantora)

configure_package_config_file(cmake/VantoraConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/VantoraConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantora)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VantoraConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VantoraConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/VantoraConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantora)

configure_file(cmake/vantora.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vantora.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vantora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
