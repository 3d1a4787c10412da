# Puts the workbench together into one page: workbench.html with the viewer's
# styles and tables (viewer/), the workbench's own, the column descriptions of
# both games and the core module (meridian-core.js) in the places of its
# markers. CR is dropped, so a checkout with CR LF line ends changes nothing.
#
#   cmake -DWORKBENCH_DIR=<workbench/> -DVIEWER_DIR=<viewer/> -DMODULE=<meridian-core.js>
#         -DOUTPUT=<workbench.html> -P embed.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/page_text.cmake)
read_text(page ${WORKBENCH_DIR}/workbench.html)
read_text(viewer_css ${VIEWER_DIR}/viewer.css)
read_text(workbench_css ${WORKBENCH_DIR}/workbench.css)
read_text(tables_js ${VIEWER_DIR}/tables.js)
read_text(workbench_js ${WORKBENCH_DIR}/workbench.js)
read_text(columns ${WORKBENCH_DIR}/columns.json)
read_text(module ${MODULE})
# No text may end its script element early.
foreach(part IN ITEMS module tables_js workbench_js columns)
  string(FIND "${${part}}" "</script" at)
  if(NOT at LESS 0)
    message(FATAL_ERROR "${part} holds </script")
  endif()
endforeach()
string(STRIP "${columns}" columns)

# Each marker once, in order, so that no inserted text is searched again.
set(out "")
foreach(pair IN ITEMS "@VIEWER_CSS@=viewer_css" "@WORKBENCH_CSS@=workbench_css" "@COLUMNS@=columns"
                      "@MODULE_JS@=module" "@VIEWER_JS@=tables_js" "@WORKBENCH_JS@=workbench_js")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 marker)
  list(GET pair 1 variable)
  cut_at_marker(page ${marker} before workbench.html)
  string(APPEND out "${before}${${variable}}")
endforeach()
string(APPEND out "${page}")
write_if_different(${OUTPUT} "${out}")
