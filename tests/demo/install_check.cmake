# Installs a build into a staging directory, or packs it with CPack, and
# checks that the twelve tools, their manual pages, the table files and the
# documentation are in place, that every manual page renders without warnings
# and names the table files by their installed path, and that lintian accepts
# the Debian package without an error or a warning.
#
#   cmake -DMODE=install|package -DBUILD_DIR=<build> -DSTAGE=<dir>
#         [-DMAN=<man>] [-DGROFF=<groff>] [-DGZIP=<gzip>] [-DDPKG_DEB=<dpkg-deb>]
#         [-DDPKG_SHLIBDEPS=<dpkg-shlibdeps>] [-DLINTIAN=<lintian>] -P install_check.cmake
#
# Prints "skipped: <why>" (which CTest takes for a skipped test) when a
# program the check needs is missing.

set(TOOLS mt2analyzer mt3analyzer mt2decoder mt3decoder mt2export mt3export mt2compare mt3compare mt2import
          mt3import mt2merge mt3merge)
set(DOC share/doc/meridian-tools)
set(FILES ${DOC}/README.md ${DOC}/manual.md ${DOC}/export-keys.md ${DOC}/mt2-export.schema.json ${DOC}/mt3-export.schema.json)
foreach(tool IN LISTS TOOLS)
  list(APPEND FILES bin/${tool} share/man/man1/${tool}.1.gz)
endforeach()
list(APPEND FILES share/meridian-tools/mt2.tbl share/meridian-tools/mt3.tbl)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(run_rc "${rc}" PARENT_SCOPE)
  set(run_out "${out}" PARENT_SCOPE)
  set(run_err "${err}" PARENT_SCOPE)
endfunction()


file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")

if(MODE STREQUAL "package")
  if(NOT DPKG_DEB OR NOT DPKG_SHLIBDEPS OR NOT LINTIAN)
    message("skipped: dpkg-deb, dpkg-shlibdeps or lintian not found")
    return()
  endif()
  run(cpack -G DEB -B "${STAGE}" --config "${BUILD_DIR}/CPackConfig.cmake")
  file(GLOB debs "${STAGE}/*.deb")
  if(NOT run_rc EQUAL 0 OR NOT debs)
    message(FATAL_ERROR "cpack wrote no package:\n${run_out}${run_err}")
  endif()
  run(${DPKG_DEB} --contents ${debs})
  # Debian's copyright file carries the licence text instead of LICENSE.
  list(APPEND FILES ${DOC}/copyright ${DOC}/changelog.gz)
  foreach(f IN LISTS FILES)
    string(FIND "${run_out}" "./usr/${f}\n" at)
    if(at EQUAL -1)
      message(SEND_ERROR "the package lacks /usr/${f}")
    endif()
  endforeach()
  # The hashes are compiled in from Boost's headers: the tools need no
  # library beyond the C and C++ runtimes.
  run(${DPKG_DEB} -f ${debs} Depends)
  if(NOT run_rc EQUAL 0 OR NOT run_out MATCHES "libc6" OR run_out MATCHES "gcrypt|gpg-error|boost")
    message(SEND_ERROR "the package depends on: ${run_out}${run_err}")
  endif()
  run(${LINTIAN} --pedantic --display-info --fail-on error,warning ${debs})
  if(NOT run_rc EQUAL 0 OR run_out MATCHES "(^|\n)[EW]: ")
    message(SEND_ERROR "lintian does not accept the package (status ${run_rc}):\n${run_out}${run_err}")
  elseif(NOT run_out STREQUAL "")
    message("lintian:\n${run_out}")
  endif()
  return()
endif()

if(NOT MAN OR NOT GROFF OR NOT GZIP)
  message("skipped: man, groff or gzip not found")
  return()
endif()
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${STAGE}")
if(NOT run_rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${run_out}${run_err}")
endif()
foreach(f IN LISTS FILES ITEMS ${DOC}/LICENSE)
  if(NOT EXISTS "${STAGE}/${f}")
    message(SEND_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(tool IN LISTS TOOLS)
  run("${STAGE}/bin/${tool}" -h)
  if(NOT run_rc EQUAL 0 OR NOT run_out MATCHES "${tool}")
    message(SEND_ERROR "the installed ${tool} does not run: ${run_rc} ${run_out}${run_err}")
  endif()
  set(page "${STAGE}/share/man/man1/${tool}.1.gz")
  run(${CMAKE_COMMAND} -E env MANWIDTH=80 ${MAN} --warnings -l "${page}")
  if(NOT run_rc EQUAL 0 OR NOT run_err STREQUAL "" OR NOT run_out MATCHES "SYNOPSIS")
    message(SEND_ERROR "man -l ${tool}.1.gz: status ${run_rc}\n${run_err}")
  endif()
  execute_process(COMMAND ${GZIP} -dc "${page}" COMMAND ${GROFF} -man -ww -z
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(SEND_ERROR "groff warns on ${tool}.1.gz:\n${err}")
  endif()
  execute_process(COMMAND ${GZIP} -dc "${page}" OUTPUT_VARIABLE text)
  string(REPLACE "\\:" "" text "${text}")  # the break points in the path
  string(FIND "${text}" "${STAGE}/share/meridian-tools/mt" at)
  if(at EQUAL -1 OR text MATCHES "@")
    message(SEND_ERROR "${tool}.1.gz does not name the installed table files")
  endif()
endforeach()
