# Packages from the install rules, through CPack: `cpack -G DEB` (or plain
# `cpack`) in the build directory writes meridian-tools_<version>_<arch>.deb.
# What every package holds is set here; what one package format alone needs
# lives in its own file (Debian.cmake) and is picked per format by
# CPackGenerators.cmake.
if(NOT MT_SHIFT_JIS_LITERALS)
  return()  # such a build's tools do not write Shift-JIS reports
endif()

# The maintainer: given when configuring, or taken from Debian's DEBFULLNAME
# and DEBEMAIL.
if(DEFINED ENV{DEBEMAIL} AND "$ENV{DEBEMAIL}" MATCHES "<")
  set(mt_default_maintainer "$ENV{DEBEMAIL}")
elseif(DEFINED ENV{DEBEMAIL} AND DEFINED ENV{DEBFULLNAME})
  set(mt_default_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  # A reserved top-level domain: a valid address that plainly reaches nobody.
  set(mt_default_maintainer "the meridian-tools authors <maintainers@meridian-tools.invalid>")
endif()
set(MT_PACKAGE_MAINTAINER "${mt_default_maintainer}" CACHE STRING
    "Maintainer field of the Debian package, \"Name <address>\" (default: DEBFULLNAME and DEBEMAIL)")

set(CPACK_PACKAGE_NAME meridian-tools)
set(CPACK_PACKAGE_VENDOR "the meridian-tools authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "data table tools for MERIDIAN TALES 2 and 3 ROM images")
set(CPACK_PACKAGE_DESCRIPTION [[
mt2analyzer and mt3analyzer read a cartridge ROM image of the Super Famicom
role-playing games MERIDIAN TALES 2 and MERIDIAN TALES 3 and write its data
tables (monsters, characters, items, techniques, battle formations and
encounters) as Japanese text reports in Shift-JIS.

mt2export and mt3export write the same tables as UTF-8 JSON (with a JSON
Schema), CSV and SQL for scripts, spreadsheets and databases. mt2compare and
mt3compare compare two images, or an image and an IPS, UPS or BPS patch,
table by table. mt2import and mt3import write edited CSV files or JSON back
into an image and make BPS and IPS patches. mt2merge and mt3merge merge
several people's images or patches of one base field by field, naming the
conflicts. mt2decoder and mt3decoder convert
game-encoded text into Shift-JIS text. The package also holds the games'
character tables as table files for hex editors.]])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CONTACT ${MT_PACKAGE_MAINTAINER})
set(CPACK_STRIP_FILES ON)
if(WIN32)
  # `cpack -G ZIP` (or plain `cpack`): meridian-tools-<version>-win64.zip, the
  # Windows layout of the install rules in one folder.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  include(CPack)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackGenerators.cmake)

include(${CMAKE_CURRENT_LIST_DIR}/Debian.cmake)
include(CPack)
