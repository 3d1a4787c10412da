# A cross build runs its own programs under Wine (table files, demo images,
# test discovery, the tests). On a machine where Wine has never run, the
# first of them also creates the Wine prefix, and a program started while
# that is still going on (two at once with -j2, or one racing the prefix's
# first boot) can fail without a word. So the prefix is made here, once, at
# configure time, and the Wine server is waited for before the build starts.
if(NOT CMAKE_CROSSCOMPILING OR NOT MT_WINE)
  return()
endif()
get_filename_component(mt_wine_dir ${MT_WINE} DIRECTORY)
find_program(MT_WINESERVER NAMES wineserver64 wineserver
             HINTS ${mt_wine_dir} PATHS /usr/lib/wine /usr/bin NO_CMAKE_FIND_ROOT_PATH)
message(STATUS "Preparing the Wine prefix")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= ${MT_WINE} wineboot --init
  RESULT_VARIABLE mt_wineboot
  OUTPUT_QUIET ERROR_QUIET)
if(MT_WINESERVER)
  execute_process(COMMAND ${MT_WINESERVER} -w)
endif()
if(NOT mt_wineboot EQUAL 0)
  message(FATAL_ERROR "Wine could not prepare its prefix (wineboot --init: ${mt_wineboot}); "
                      "the cross build runs its programs under Wine")
endif()
