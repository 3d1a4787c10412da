# Header-only libraries of the build machine (Debian's packages under
# /usr/include) as imported targets:
#
#   mt_header_library(<target> <folder> <header>)
#
# e.g. mt_header_library(mt_boost boost crc.hpp). A native build finds the
# headers where they are. A cross build (MinGW-w64, Emscripten) must not see
# the rest of the build machine's /usr/include: it gets a folder of the build
# directory that holds only a link to each such library's folder, and that
# folder as its include path.
function(mt_header_library target folder header)
  if(TARGET ${target})
    return()
  endif()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  if(NOT CMAKE_CROSSCOMPILING)
    find_path(MT_${folder}_INCLUDE_DIR ${folder}/${header} REQUIRED)
    target_include_directories(${target} SYSTEM INTERFACE ${MT_${folder}_INCLUDE_DIR})
    return()
  endif()
  find_path(MT_${folder}_INCLUDE_DIR ${folder}/${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(links ${PROJECT_BINARY_DIR}/header-links)
  file(MAKE_DIRECTORY ${links})
  file(CREATE_LINK ${MT_${folder}_INCLUDE_DIR}/${folder} ${links}/${folder} SYMBOLIC)
  target_include_directories(${target} SYSTEM INTERFACE ${links})
endfunction()
