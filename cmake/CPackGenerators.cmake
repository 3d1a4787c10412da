# Read by cpack for each package format it writes (CPACK_GENERATOR names the
# format), before it installs the build into its staging directory.
if(CPACK_GENERATOR STREQUAL "DEB")
  # Into /usr, with the prefix that the install rules see (the manual pages
  # name the table files by their installed path), plus the component
  # "debian".
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_INSTALL_PREFIX /usr)
  set(CPACK_SET_DESTDIR ON)
  list(APPEND CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_MT_DEBIAN_PROJECT}")
endif()
