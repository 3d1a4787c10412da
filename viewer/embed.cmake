# Puts the viewer page together and writes it as a C++ source file:
# viewer.html with viewer.css and tables.js + viewer.js in the places of @VIEWER_CSS@ and
# @VIEWER_JS@, cut at @COLUMNS@ and @EXPORT@ into the three parts of
# kViewerPage. Every byte is written as an escape, so the page is the same
# bytes whatever the compiler's character sets, and CR is dropped, so a
# checkout with CR LF line ends changes nothing either.
#
#   cmake -DVIEWER_DIR=<viewer/> -DOUTPUT=<file.cpp> -P embed.cmake
foreach(part IN ITEMS html css js)
  file(READ ${VIEWER_DIR}/viewer.${part} ${part})
  string(REPLACE "\r" "" ${part} "${${part}}")
endforeach()
# The tables' code that the workbench shares comes first.
file(READ ${VIEWER_DIR}/tables.js tables)
string(REPLACE "\r" "" tables "${tables}")
set(js "${tables}${js}")
string(REPLACE "@VIEWER_CSS@" "${css}" html "${html}")
string(REPLACE "@VIEWER_JS@" "${js}" html "${html}")

# part0, part1: the page before each marker; html keeps the rest (part 2).
set(n 0)
foreach(marker IN ITEMS @COLUMNS@ @EXPORT@)
  string(FIND "${html}" "${marker}" at)
  if(at LESS 0)
    message(FATAL_ERROR "viewer.html has no ${marker}")
  endif()
  string(SUBSTRING "${html}" 0 ${at} part${n})
  string(LENGTH "${marker}" length)
  math(EXPR at "${at} + ${length}")
  string(SUBSTRING "${html}" ${at} -1 html)
  math(EXPR n "${n} + 1")
endforeach()
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
file(WRITE ${OUTPUT}.new "${source}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
