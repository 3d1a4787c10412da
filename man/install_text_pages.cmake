# Runs when the manual pages are installed for Windows: each page rendered by
# groff as plain text (mt2analyzer.txt), with CR LF line ends, at the top of
# the installation, where the table files lie too.
#
# Set by the install rule: MT_MAN_PAGES (the configured pages), MT_GROFF.
cmake_policy(VERSION 3.25)  # "@MT_TABLE_DIR@" below is text, not a variable
foreach(page IN LISTS MT_MAN_PAGES)
  get_filename_component(name "${page}" NAME_WE)
  file(READ "${page}" source)
  string(REPLACE "@MT_TABLE_DIR@/" "" source "${source}")
  set(stage "${page}.win")
  file(WRITE "${stage}" "${source}")
  execute_process(COMMAND "${MT_GROFF}" -man -Tascii -P-cbou "${stage}"
                  OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${stage}.txt" "${text}")
  file(INSTALL "${stage}.txt" DESTINATION "${CMAKE_INSTALL_PREFIX}" RENAME "${name}.txt")
endforeach()
