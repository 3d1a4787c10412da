# Runs when the manual pages are installed: each page names the table files
# by their full installed path under the prefix being installed to, and goes
# in compressed as man expects it (gzip -9n: no name, no time stamp).
#
# Set by the install rule: MT_MAN_PAGES (the configured pages), MT_MAN_STAGE
# (a scratch directory), MT_MAN_DIR and MT_TABLE_DIR (below the prefix, or
# absolute), MT_GZIP.
cmake_policy(VERSION 3.25)  # "@MT_TABLE_DIR@" below is text, not a variable
foreach(dir IN ITEMS MT_MAN_DIR MT_TABLE_DIR)
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()
# However long the prefix, troff may break the path after any slash (\:).
string(REPLACE "/" "/\\:" table_dir "${MT_TABLE_DIR}")
file(MAKE_DIRECTORY "${MT_MAN_STAGE}")
foreach(page IN LISTS MT_MAN_PAGES)
  get_filename_component(name "${page}" NAME)
  file(READ "${page}" text)
  string(REPLACE "@MT_TABLE_DIR@" "${table_dir}" text "${text}")
  file(WRITE "${MT_MAN_STAGE}/${name}" "${text}")
  execute_process(COMMAND "${MT_GZIP}" -9nf "${MT_MAN_STAGE}/${name}" COMMAND_ERROR_IS_FATAL ANY)
  file(INSTALL "${MT_MAN_STAGE}/${name}.gz" DESTINATION "${MT_MAN_DIR}"
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
