# What `cmake --install` puts in place: each game's analyzer, decoder, exporter, comparison,
# importer and merge (MT_TOOLS, family by family, the games in the registry's order; the Debian
# package strips them too), their manual pages (man/), the table files (tables/), the README and the
# manual (doc/manual.md), the licence, the list of export keys, the JSON Schemas of the exports and
# the workbench page (when built).
set(MT_TOOLS)
foreach(family analyzer decoder export compare import merge)
  foreach(game IN LISTS MT_GAMES)
    list(APPEND MT_TOOLS ${game}${family})
  endforeach()
endforeach()
if(MT_SHIFT_JIS_LITERALS)  # otherwise the tools do not write Shift-JIS
  install(TARGETS ${MT_TOOLS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/doc/manual.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/doc/export-keys.md
              ${PROJECT_SOURCE_DIR}/doc/mt2-export.schema.json ${PROJECT_SOURCE_DIR}/doc/mt3-export.schema.json
        DESTINATION ${MT_INSTALL_DOCDIR})

# The workbench page (MT_WORKBENCH_PAGE), when the WebAssembly build (the wasm
# preset) has made it: no other build can make it, so it is taken from that
# build's folder at install time (OPTIONAL: without it, everything else is
# installed), beside the table files, and so into the Windows ZIP.
# Its offline app's files (service worker, manifest, icon) go beside it.
get_filename_component(mt_workbench_dir ${MT_WORKBENCH_PAGE} DIRECTORY)
install(FILES ${MT_WORKBENCH_PAGE} ${mt_workbench_dir}/workbench-sw.js ${mt_workbench_dir}/workbench.webmanifest
              ${mt_workbench_dir}/workbench-icon.png
        DESTINATION ${MT_INSTALL_TABLEDIR} OPTIONAL)

# The Windows tools carry Boost's hash headers compiled in: their notice and
# Boost's licence go into the ZIP beside ours. The licence text is taken from
# the copyright file of Debian's Boost headers package (its "License: BSL-1.0"
# paragraph, unfolded).
if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/doc/windows-third-party.txt DESTINATION ${MT_INSTALL_DOCDIR}
          RENAME THIRD-PARTY.txt)
  file(GLOB mt_boost_copyright /usr/share/doc/libboost[0-9]*-dev/copyright)
  if(NOT mt_boost_copyright)
    message(FATAL_ERROR "no /usr/share/doc/libboost*-dev/copyright for Boost's licence: install libboost-dev")
  endif()
  list(GET mt_boost_copyright 0 mt_boost_copyright)
  file(READ ${mt_boost_copyright} mt_text)
  string(FIND "${mt_text}" "License: BSL-1.0\n Boost Software License" mt_at)
  if(mt_at LESS 0)
    message(FATAL_ERROR "${mt_boost_copyright} holds no text of the Boost Software License")
  endif()
  math(EXPR mt_at "${mt_at} + 17")  # the line after "License: BSL-1.0"
  string(SUBSTRING "${mt_text}" ${mt_at} -1 mt_text)
  string(FIND "${mt_text}" "\n\n" mt_end)
  string(SUBSTRING "${mt_text}" 0 ${mt_end} mt_text)
  string(REPLACE "\n .\n" "\n\n" mt_text "${mt_text}")
  string(REPLACE "\n " "\n" mt_text "${mt_text}")
  string(SUBSTRING "${mt_text}" 1 -1 mt_text)
  file(WRITE ${PROJECT_BINARY_DIR}/BSL-1.0.txt "${mt_text}\n")
  install(FILES ${PROJECT_BINARY_DIR}/BSL-1.0.txt DESTINATION ${MT_INSTALL_DOCDIR})
endif()
