# The texts that make up a page, for the scripts that put pages together
# (viewer/embed.cmake, workbench/embed.cmake).

# read_text(<variable> <path>): the file's text, CR dropped, so that a checkout
# with CR LF line ends changes nothing.
function(read_text variable path)
  file(READ ${path} content)
  string(REPLACE "\r" "" content "${content}")
  set(${variable} "${content}" PARENT_SCOPE)
endfunction()

# cut_at_marker(<page variable> <marker> <before variable> <page's name>):
# <before variable> gets the text before the marker's first place and the page
# keeps what follows it; a page without the marker fails, naming both.
function(cut_at_marker page_var marker before_var name)
  string(FIND "${${page_var}}" "${marker}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${name} has no ${marker}")
  endif()
  string(SUBSTRING "${${page_var}}" 0 ${at} before)
  string(LENGTH "${marker}" length)
  math(EXPR at "${at} + ${length}")
  string(SUBSTRING "${${page_var}}" ${at} -1 rest)
  set(${before_var} "${before}" PARENT_SCOPE)
  set(${page_var} "${rest}" PARENT_SCOPE)
endfunction()

# write_if_different(<path> <text>): the file is written only when its text
# changes, so that what is built from it is not built again.
function(write_if_different path text)
  file(WRITE ${path}.new "${text}")
  file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
  file(REMOVE ${path}.new)
endfunction()
