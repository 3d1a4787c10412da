# Checks that no include of the production sources runs upward: run as
# `cmake -DSOURCE_DIR=<the source tree> -P check_layers.cmake`. The layers,
# from the bottom: common/; the engines, which name no game; the games, one
# folder each below games/; at the top the registry of games, the tools'
# mains and the module's shell. A file may include its own layer and those
# below it ("folder/file.h"), a game no other game; a folder that is no
# layer's fails the check too. Each include that breaks this is named with
# its file and line.
cmake_policy(SET CMP0057 NEW)  # IN_LIST
set(layer_common common)
set(layer_engines decoder export compare import session demo)
set(layer_top tools wasm tables man)

# The layer of a folder ("games/a" for the games), -1 for none.
function(layer_of folder out)
  if(folder IN_LIST layer_common)
    set(${out} 0 PARENT_SCOPE)
  elseif(folder IN_LIST layer_engines)
    set(${out} 1 PARENT_SCOPE)
  elseif(folder MATCHES "^games/[^/]+$")
    set(${out} 2 PARENT_SCOPE)
  elseif(folder IN_LIST layer_top)
    set(${out} 3 PARENT_SCOPE)
  else()
    set(${out} -1 PARENT_SCOPE)
  endif()
endfunction()

# The folder of a path below the source tree: its first part, or its first
# two below games/.
function(folder_of path out)
  if(path MATCHES "^(games/[^/]+)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  elseif(path MATCHES "^([^/]+)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(globs "")
foreach(folder IN LISTS layer_common layer_engines layer_top ITEMS games)
  list(APPEND globs ${folder}/*.cpp ${folder}/*.h)
endforeach()
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${globs})
list(SORT sources)

set(failures "")
set(count 0)
foreach(source IN LISTS sources)
  folder_of(${source} from)
  layer_of(${from} from_layer)
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(included ${CMAKE_MATCH_1})
    math(EXPR count "${count} + 1")
    folder_of(${included} to)
    layer_of("${to}" to_layer)
    if(to_layer EQUAL -1)
      list(APPEND failures "${source}: \"${included}\" names no folder of a layer")
    elseif(to_layer GREATER from_layer)
      list(APPEND failures "${source}: \"${included}\" is of a higher layer than ${from}/")
    elseif(to_layer EQUAL 2 AND from_layer EQUAL 2 AND NOT to STREQUAL from)
      list(APPEND failures "${source}: \"${included}\" is another game's")
    endif()
  endforeach()
endforeach()
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Includes that run upward or across the games:\n  ${text}")
endif()
list(LENGTH sources files)
message(STATUS "${count} includes of ${files} files, none upward")
