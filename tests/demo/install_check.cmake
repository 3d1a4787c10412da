# Installs a build into a staging directory, or packs it with CPack, and
# checks that the four tools, their manual pages and the table files are in
# place and that every manual page renders without warnings.
#
#   cmake -DMODE=install|package -DBUILD_DIR=<build> -DSTAGE=<dir>
#         [-DMAN=<man>] [-DGROFF=<groff>] [-DDPKG_DEB=<dpkg-deb>] -P install_check.cmake
#
# Prints "skipped: <why>" (which CTest takes for a skipped test) when a
# program the check needs is missing.

set(TOOLS mt2analyzer mt3analyzer mt2decoder mt3decoder)
set(FILES "")
foreach(tool IN LISTS TOOLS)
  list(APPEND FILES bin/${tool} share/man/man1/${tool}.1)
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
  if(NOT DPKG_DEB)
    message("skipped: dpkg-deb not found")
    return()
  endif()
  run(cpack -G DEB -B "${STAGE}" --config "${BUILD_DIR}/CPackConfig.cmake")
  file(GLOB debs "${STAGE}/*.deb")
  if(NOT run_rc EQUAL 0 OR NOT debs)
    message(FATAL_ERROR "cpack wrote no package:\n${run_out}${run_err}")
  endif()
  run(${DPKG_DEB} --contents ${debs})
  foreach(f IN LISTS FILES)
    string(FIND "${run_out}" "./usr/${f}\n" at)
    if(at EQUAL -1)
      message(SEND_ERROR "the package lacks /usr/${f}")
    endif()
  endforeach()
  return()
endif()

if(NOT MAN OR NOT GROFF)
  message("skipped: man or groff not found")
  return()
endif()
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${STAGE}")
if(NOT run_rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${run_out}${run_err}")
endif()
foreach(f IN LISTS FILES)
  if(NOT EXISTS "${STAGE}/${f}")
    message(SEND_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(tool IN LISTS TOOLS)
  run("${STAGE}/bin/${tool}" -h)
  if(NOT run_rc EQUAL 0 OR NOT run_out MATCHES "${tool}")
    message(SEND_ERROR "the installed ${tool} does not run: ${run_rc} ${run_out}${run_err}")
  endif()
  set(page "${STAGE}/share/man/man1/${tool}.1")
  run(${CMAKE_COMMAND} -E env MANWIDTH=80 ${MAN} --warnings -l "${page}")
  if(NOT run_rc EQUAL 0 OR NOT run_err STREQUAL "" OR NOT run_out MATCHES "SYNOPSIS")
    message(SEND_ERROR "man -l ${tool}.1: status ${run_rc}\n${run_err}")
  endif()
  run(${GROFF} -man -ww -z "${page}")
  if(NOT run_rc EQUAL 0 OR NOT run_err STREQUAL "")
    message(SEND_ERROR "groff warns on ${tool}.1:\n${run_err}")
  endif()
endforeach()
