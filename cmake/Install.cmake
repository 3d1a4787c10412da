# What `cmake --install` puts in place: the four tools, the two exporters, the two comparisons and
# the two importers (MT_TOOLS, which the Debian package strips too), their manual pages (man/), the table files (tables/), the README, the licence, the list of export
# keys, the JSON Schemas of the exports and the workbench page (when built).
set(MT_TOOLS mt2analyzer mt3analyzer mt2decoder mt3decoder mt2export mt3export mt2compare mt3compare mt2import
    mt3import)
if(MT_SHIFT_JIS_LITERALS)  # otherwise the tools do not write Shift-JIS
  install(TARGETS ${MT_TOOLS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/doc/export-keys.md
              ${PROJECT_SOURCE_DIR}/doc/mt2-export.schema.json ${PROJECT_SOURCE_DIR}/doc/mt3-export.schema.json
        DESTINATION ${MT_INSTALL_DOCDIR})

# The workbench page (MT_WORKBENCH_PAGE), when the WebAssembly build (the wasm
# preset) has made it: no other build can make it, so it is taken from that
# build's folder at install time (OPTIONAL: without it, everything else is
# installed), beside the table files, and so into the Windows ZIP.
install(FILES ${MT_WORKBENCH_PAGE} DESTINATION ${MT_INSTALL_TABLEDIR} OPTIONAL)

# The Windows tools carry libgcrypt and libgpg-error (LGPL-2.1+) linked in:
# their notice and the licence text go into the ZIP beside ours.
if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/doc/windows-third-party.txt DESTINATION ${MT_INSTALL_DOCDIR}
          RENAME THIRD-PARTY.txt)
  install(FILES /usr/share/common-licenses/LGPL-2.1 DESTINATION ${MT_INSTALL_DOCDIR} RENAME LGPL-2.1.txt)
endif()
