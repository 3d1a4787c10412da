# Packs a Windows build with `cpack -G ZIP`, unpacks the ZIP and checks its
# Windows layout: the ten tools in bin/, the table files, the README, the
# licence, the export key list, the exports' JSON Schemas and the manual pages as text at the
# top, and that every tool runs
# (under Wine) and shows its help.
#
#   cmake -DBUILD_DIR=<build> -DSTAGE=<dir> -DWINE=<wine> -P zip_check.cmake
set(TOOLS mt2analyzer mt3analyzer mt2decoder mt3decoder mt2export mt3export mt2compare mt3compare mt2import
          mt3import)

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

set(files README.md LICENSE THIRD-PARTY.txt LGPL-2.1.txt export-keys.md mt2-export.schema.json mt3-export.schema.json mt2.tbl mt3.tbl)
foreach(tool IN LISTS TOOLS)
  list(APPEND files bin/${tool}.exe ${tool}.txt)
endforeach()
file(GLOB_RECURSE all RELATIVE "${top}" "${top}/*")
list(SORT all)
list(SORT files)
if(NOT all STREQUAL files)
  message(SEND_ERROR "the ZIP holds\n  ${all}\ninstead of\n  ${files}")
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
