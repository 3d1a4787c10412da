# A Debian package from the install rules: `cpack -G DEB` (or plain `cpack`)
# in the build directory writes meridian-tools_<version>_<arch>.deb.
set(MT_PACKAGE_MAINTAINER "MERIDIAN TALES tools maintainers <meridian-tools@localhost>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME meridian-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "analyzers and text decoders for MERIDIAN TALES 2 and 3 ROM images")
set(CPACK_PACKAGE_DESCRIPTION
    "mt2analyzer and mt3analyzer write the data tables of the two Super Famicom role-playing games' ROM images as Shift-JIS text reports; mt2decoder and mt3decoder convert their game-encoded texts into Shift-JIS. Includes the games' character tables as table files.")
set(CPACK_PACKAGE_CONTACT ${MT_PACKAGE_MAINTAINER})
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MT_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(MT_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(MT_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
