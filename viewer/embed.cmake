# Puts the viewer page together and writes it as a C++ source file:
# viewer.html with viewer.css and tables.js + viewer.js in the places of @VIEWER_CSS@ and
# @VIEWER_JS@, cut at @COLUMNS@ and @EXPORT@ into the three parts of
# kViewerPage. Every byte is written as an escape, so the page is the same
# bytes whatever the compiler's character sets, and CR is dropped, so a
# checkout with CR LF line ends changes nothing either.
#
#   cmake -DVIEWER_DIR=<viewer/> -DOUTPUT=<file.cpp> -P embed.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/page_text.cmake)
read_text(html ${VIEWER_DIR}/viewer.html)
read_text(css ${VIEWER_DIR}/viewer.css)
# The tables' code that the workbench shares comes first.
read_text(tables ${VIEWER_DIR}/tables.js)
read_text(js ${VIEWER_DIR}/viewer.js)
set(js "${tables}${js}")
string(REPLACE "@VIEWER_CSS@" "${css}" html "${html}")
string(REPLACE "@VIEWER_JS@" "${js}" html "${html}")

# part0, part1: the page before each marker; html keeps the rest (part 2).
cut_at_marker(html @COLUMNS@ part0 viewer.html)
cut_at_marker(html @EXPORT@ part1 viewer.html)
set(part2 "${html}")

set(source "// Generated from viewer/ by viewer/embed.cmake.\n#include \"export/viewer_page.h\"\n\n")
string(APPEND source "using namespace std::string_view_literals;\n\nconst std::string_view exporter::kViewerPage[3] = {")
foreach(n RANGE 2)
  string(HEX "${part${n}}" hex)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  # 32 bytes (128 characters of escapes) a line
  string(LENGTH "${escaped}" length)
  set(lines "")
  foreach(at RANGE 0 ${length} 128)
    string(SUBSTRING "${escaped}" ${at} 128 line)
    if(NOT line STREQUAL "")
      string(APPEND lines "\n    \"${line}\"")
    endif()
  endforeach()
  string(APPEND source "${lines}sv,")
endforeach()
string(APPEND source "\n};\n")
write_if_different(${OUTPUT} "${source}")
