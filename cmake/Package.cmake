# `cpack -G DEB` in a build directory configured with CMAKE_INSTALL_PREFIX=/usr and
# VANTORA_DATA_FROM_BUILD_TREE=OFF makes one Debian package: the libraries in both forms, headers,
# CMake and pkg-config files, data and the tool. dpkg-shlibdeps works out what the programs and
# shared libraries need at run time; linking statically, or compiling against the package's
# pkg-config file, needs the development packages of the drawing libraries as well.
set(CPACK_PACKAGE_NAME vantora)
set(CPACK_PACKAGE_VENDOR "Vantora developers")
set(CPACK_PACKAGE_CONTACT "Vantora developers <vantora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Decorative GUI components that render their own 256-colour faces")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfreetype-dev, libfontconfig-dev, libpng-dev, libjpeg-dev")
if(VANTORA_WITH_SDL)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libsdl2-dev")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
include(CPack)
