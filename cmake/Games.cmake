# The games: each is a folder below games/ that the registry (tools/games.h)
# includes the description of. The top CMakeLists.txt adds every folder the
# registry names; each folder makes its libraries with mt_add_game, under the
# names of every tool family: <game>_analyzer_lib (the game's layout,
# character tables, labels and report writers), <game>_export_tables,
# <game>_import_tables and <game>_demo_image.

# The folders below games/ that the registry includes a description of
# ("#include "games/a/game.h""), and the games' names in its list of games
# ("#define MT_GAMES(GAME) GAME(mt2) GAME(mt3)"), in the registry's order.
function(mt_registry_games registry folders_var names_var)
  file(STRINGS ${registry} includes REGEX "^#include \"games/[^/\"]+/game\\.h\"")
  set(folders "")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"games/([^/\"]+)/game\\.h\".*" "\\1" folder "${line}")
    list(APPEND folders ${folder})
  endforeach()
  file(STRINGS ${registry} list_line REGEX "^#define MT_GAMES\\(GAME\\)")
  string(REGEX MATCHALL "GAME\\([A-Za-z0-9_]+\\)" entries "${list_line}")
  set(names "")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "GAME\\(([A-Za-z0-9_]+)\\)" "\\1" name "${entry}")
    list(APPEND names ${name})
  endforeach()
  if(NOT folders OR NOT names)
    message(FATAL_ERROR "${registry} names no game")
  endif()
  set(${folders_var} ${folders} PARENT_SCOPE)
  set(${names_var} ${names} PARENT_SCOPE)
endfunction()

# A UTF-8 twin of a library target: the same sources, include directories and
# definitions, with the warnings and hardening of every build but without
# -fexec-charset, linked to the given UTF-8 libraries.
function(mt_utf8_twin twin original)
  get_target_property(sources ${original} SOURCES)
  get_target_property(source_dir ${original} SOURCE_DIR)
  set(paths "")
  foreach(source IN LISTS sources)
    if(IS_ABSOLUTE ${source})
      list(APPEND paths ${source})
    else()
      list(APPEND paths ${source_dir}/${source})
    endif()
  endforeach()
  add_library(${twin} STATIC ${paths})
  foreach(property IN ITEMS INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES COMPILE_DEFINITIONS)
    get_target_property(value ${original} ${property})
    if(value)
      set_property(TARGET ${twin} PROPERTY ${property} ${value})
    endif()
  endforeach()
  target_link_libraries(${twin} PUBLIC mt_build_options ${ARGN})
endfunction()

# A game's libraries, from the sources of its folder:
#   mt_add_game(mt2 ANALYZER a.cpp ... EXPORT_TABLES export_tables.cpp
#               IMPORT_LAYOUT import_layout.cpp DEMO_IMAGE demo_image.cpp)
# The analyzer's library holds what the game's every tool reads with (its
# character tables and labels among them); the exporters' tables are built
# on a UTF-8 twin of it, so that every name comes out as UTF-8.
function(mt_add_game game)
  cmake_parse_arguments(GAME "" "EXPORT_TABLES;IMPORT_LAYOUT;DEMO_IMAGE" "ANALYZER" ${ARGN})
  add_library(${game}_analyzer_lib STATIC ${GAME_ANALYZER})
  target_link_libraries(${game}_analyzer_lib PUBLIC mt_common)
  mt_utf8_twin(${game}_analyzer_utf8 ${game}_analyzer_lib mt_common_utf8)
  add_library(${game}_export_tables STATIC ${GAME_EXPORT_TABLES})
  target_link_libraries(${game}_export_tables PUBLIC mt_export_core ${game}_analyzer_utf8)
  add_library(${game}_import_tables STATIC ${GAME_IMPORT_LAYOUT})
  target_link_libraries(${game}_import_tables PUBLIC mt_import_core ${game}_export_tables)
  if(NOT EMSCRIPTEN)  # the module makes no demo image
    add_library(${game}_demo_image STATIC ${GAME_DEMO_IMAGE})
    target_link_libraries(${game}_demo_image PUBLIC mt_demo_engine ${game}_analyzer_lib)
  endif()
  set_property(GLOBAL APPEND PROPERTY MT_GAME_FOLDER_NAMES ${game})
endfunction()

# Adds every game folder of the registry and sets MT_GAMES to the games'
# names; a folder's game must be the registry's game of the same place.
macro(mt_add_games registry)
  mt_registry_games(${registry} mt_game_folders MT_GAMES)
  foreach(mt_folder IN LISTS mt_game_folders)
    add_subdirectory(games/${mt_folder})
  endforeach()
  get_property(mt_folder_games GLOBAL PROPERTY MT_GAME_FOLDER_NAMES)
  if(NOT mt_folder_games STREQUAL MT_GAMES)
    message(FATAL_ERROR "The registry ${registry} lists the games ${MT_GAMES}, "
                        "its game folders (${mt_game_folders}) make ${mt_folder_games}")
  endif()
endmacro()
