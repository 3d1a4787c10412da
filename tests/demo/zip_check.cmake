# Packs a Windows build with `cpack -G ZIP`, unpacks the ZIP and checks its
# Windows layout: the twelve tools in bin/, the table files, the README and the
# manual, the licence, the notice and licence of Boost (compiled into the tools), the export key list,
# the exports' JSON Schemas and the manual pages as text at the
# top, and that every tool runs
# (under Wine) and shows its help. With a Linux build of the same sources
# (LINUX_BUILD), the ZIP's exporters run on the demo images and write the
# Linux exporters' files (JSON, CSV, SQL, viewer pages) byte for byte.
#
# The workbench page is in the ZIP exactly when the wasm build made it
# (WORKBENCH, the page's path), the same bytes.
#
#   cmake -DBUILD_DIR=<build> -DSTAGE=<dir> -DWINE=<wine> [-DLINUX_BUILD=<build>] [-DWORKBENCH=<page>]
#         -P zip_check.cmake
set(TOOLS mt2analyzer mt3analyzer mt2decoder mt3decoder mt2export mt3export mt2compare mt3compare mt2import
          mt3import mt2merge mt3merge)

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/unpacked")
execute_process(COMMAND cpack -G ZIP -B "${STAGE}" --config "${BUILD_DIR}/CPackConfig.cmake"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB zips "${STAGE}/*.zip")
if(NOT rc EQUAL 0 OR NOT zips)
  message(FATAL_ERROR "cpack wrote no ZIP:\n${out}${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zips} WORKING_DIRECTORY "${STAGE}/unpacked"
                COMMAND_ERROR_IS_FATAL ANY)
file(GLOB top LIST_DIRECTORIES true "${STAGE}/unpacked/*")
list(LENGTH top count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "the ZIP does not hold one folder: ${top}")
endif()

set(files README.md manual.md LICENSE THIRD-PARTY.txt BSL-1.0.txt export-keys.md mt2-export.schema.json mt3-export.schema.json mt2.tbl mt3.tbl)
foreach(tool IN LISTS TOOLS)
  list(APPEND files bin/${tool}.exe ${tool}.txt)
endforeach()
if(WORKBENCH AND EXISTS "${WORKBENCH}")
  list(APPEND files workbench.html workbench-sw.js workbench.webmanifest workbench-icon.png)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORKBENCH}" "${top}/workbench.html" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "the ZIP's workbench.html is not ${WORKBENCH}")
  endif()
endif()
file(GLOB_RECURSE all RELATIVE "${top}" "${top}/*")
list(SORT all)
list(SORT files)
if(NOT all STREQUAL files)
  message(SEND_ERROR "the ZIP holds\n  ${all}\ninstead of\n  ${files}")
endif()

# The notice of the library compiled into the tools, and its licence.
file(READ "${top}/THIRD-PARTY.txt" notice)
file(READ "${top}/BSL-1.0.txt" licence)
if(NOT notice MATCHES "Boost" OR NOT licence MATCHES "^Boost Software License - Version 1.0"
   OR NOT licence MATCHES "OTHER DEALINGS IN THE SOFTWARE.\n$")
  message(SEND_ERROR "THIRD-PARTY.txt or BSL-1.0.txt does not give Boost's notice and licence")
endif()

foreach(tool IN LISTS TOOLS)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=-all ${WINE} "${top}/bin/${tool}.exe" -h
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "${tool} - ")
    message(SEND_ERROR "${tool}.exe from the ZIP does not run: ${rc} ${out}${err}")
  endif()
  file(READ "${top}/${tool}.txt" text)
  file(READ "${top}/${tool}.txt" bytes HEX)  # file(READ) alone leaves CR out
  if(NOT text MATCHES "SYNOPSIS" OR NOT bytes MATCHES "^(..)*0d0a" OR bytes MATCHES "^(..)*([^0].|.[^d])0a"
     OR text MATCHES "@")
    message(SEND_ERROR "${tool}.txt is no text manual page with CR LF")
  endif()
endforeach()

# The ZIP's exporters (stripped copies of the build's) against the Linux
# build's exporters on the demo images.
if(NOT EXISTS "${LINUX_BUILD}/tools/mt_demo_images")
  message(STATUS "the ZIP's exporters not compared: no Linux build in '${LINUX_BUILD}'")
  return()
endif()
set(scratch "${STAGE}/exports")
file(MAKE_DIRECTORY "${scratch}/linux" "${scratch}/zip")
execute_process(COMMAND "${LINUX_BUILD}/tools/mt_demo_images" "${scratch}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
foreach(game 2 3)
  execute_process(COMMAND "${LINUX_BUILD}/tools/mt${game}export" "${scratch}/mt${game}demo.smc" "${scratch}/linux"
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=-all ${WINE} "${top}/bin/mt${game}export.exe"
                          "${scratch}/mt${game}demo.smc" "${scratch}/zip"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(GLOB linux_exports RELATIVE "${scratch}/linux" "${scratch}/linux/*")
file(GLOB zip_exports RELATIVE "${scratch}/zip" "${scratch}/zip/*")
if(NOT linux_exports STREQUAL zip_exports)
  message(SEND_ERROR "the ZIP's exporters wrote\n  ${zip_exports}\nthe Linux build's\n  ${linux_exports}")
endif()
foreach(page mt2.html mt3.html)
  list(FIND zip_exports ${page} at)
  if(at LESS 0)
    message(SEND_ERROR "the ZIP's exporters wrote no ${page}")
  endif()
endforeach()
set(same 0)
foreach(name IN LISTS linux_exports)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${scratch}/linux/${name}" "${scratch}/zip/${name}"
                  RESULT_VARIABLE rc)
  if(rc EQUAL 0)
    math(EXPR same "${same} + 1")
  else()
    message(SEND_ERROR "${name} of the ZIP's exporter differs from the Linux build's")
  endif()
endforeach()
message(STATUS "${same} files of the ZIP's exporters identical to the Linux build's")
