# What only the Debian package needs (`cpack -G DEB`): its control fields, and
# the files that Debian policy asks of every package, installed as the
# component "debian" that only the Debian package installs (see
# CPackGenerators.cmake): the machine-readable copyright file instead of
# LICENSE, the changelog, and binaries without the .comment and .note
# sections, as dh_strip leaves them.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MT_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_MT_DEBIAN_PROJECT "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")

set(mt_doc ${CMAKE_INSTALL_DATADIR}/doc/meridian-tools)
set(mt_debian ${PROJECT_BINARY_DIR}/debian)

# copyright: the licence text of LICENSE, from its permission notice on, as
# an indented field body (a blank line is a lone " .").
file(READ ${PROJECT_SOURCE_DIR}/LICENSE mt_license)
string(FIND "${mt_license}" "Permission" mt_at)
string(SUBSTRING "${mt_license}" ${mt_at} -1 mt_license)
string(STRIP "${mt_license}" mt_license)
string(REGEX REPLACE "\n\n" "\n.\n" mt_license "${mt_license}")
string(REPLACE "\n" "\n " MT_LICENSE_TEXT " ${mt_license}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${mt_debian}/copyright @ONLY)
install(FILES ${mt_debian}/copyright DESTINATION ${mt_doc} COMPONENT debian EXCLUDE_FROM_ALL)

# changelog.gz, compressed as Debian does (gzip -9n: no name, no time stamp).
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${mt_debian}/changelog @ONLY)
find_program(MT_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${mt_debian}/changelog.gz
  COMMAND ${MT_GZIP} -9nc changelog > changelog.gz
  DEPENDS ${mt_debian}/changelog
  WORKING_DIRECTORY ${mt_debian})
add_custom_target(mt_debian_changelog ALL DEPENDS ${mt_debian}/changelog.gz)
install(FILES ${mt_debian}/changelog.gz DESTINATION ${mt_doc} COMPONENT debian EXCLUDE_FROM_ALL)

set(mt_tools "")
foreach(tool IN LISTS MT_TOOLS)
  list(APPEND mt_tools "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${tool}")
endforeach()
# The licence text is in copyright, as Debian policy asks, not in LICENSE.
install(CODE "
  file(REMOVE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${mt_doc}/LICENSE\")
  foreach(tool IN ITEMS ${mt_tools})
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                            \"\$ENV{DESTDIR}\${tool}\" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()" COMPONENT debian EXCLUDE_FROM_ALL)
