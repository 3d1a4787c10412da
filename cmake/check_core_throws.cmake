# Checks that the core's objects throw nothing of their own: run as
# `cmake -DNM=... -DOBJDUMP=... -DLIBRARIES=a.a;b.a -DSHELL_OBJECTS=x.cpp.o;...
# -P check_core_throws.cmake`. The core returns its errors as values
# (common/error.h); an exception is left to what no value can report.
#
# What a core object (every object of the libraries but the shells') may
# still reach:
# - the standard library's throws for memory that runs out: std::bad_alloc
#   and std::bad_array_new_length, and std::length_error, a container asked
#   for more than it can ever hold; the module's guard (wasm/core_api.cpp)
#   and the tools' main (common/tool_main.cpp) word them;
# - its checks of its callers' preconditions, which hold in the core: a
#   position past the end of a string (std::__throw_out_of_range_fmt, from
#   substr, compare, erase and at alike: the check cannot tell them apart, so
#   at() on an index read from an input would pass it), a std::string made
#   from a null pointer (std::__throw_logic_error), an empty std::function
#   called (std::__throw_bad_function_call);
# - __cxa_rethrow, by which the standard containers' cleanup passes on what
#   an element's copy or an allocation threw;
# - the throws of nlohmann::json (a value of the wrong type, a key it has
#   not, invalid UTF-8 under its strict error handler, text that is not
#   JSON): the core dumps strings with the replacing error handler, parses
#   only the JSON it wrote, and reads the edited documents through the SAX
#   interface, whose errors come back to it as values.
# Any other standard library throw (std::stoi's invalid_argument and
# out_of_range, std::get's bad_variant_access, std::optional::value's
# bad_optional_access, a system_error, ...) and every throw expression of
# the core's own fails the check, naming the object, the function and what
# it throws. A throw expression is found in the disassembly: the type thrown
# is the last "typeinfo for" relocation of the function before the call of
# __cxa_throw.
cmake_policy(SET CMP0057 NEW)  # IN_LIST
include(${CMAKE_CURRENT_LIST_DIR}/core_imports.cmake)
set(allowed_helpers
  std::__throw_bad_alloc std::__throw_bad_array_new_length std::__throw_length_error
  std::__throw_out_of_range_fmt std::__throw_logic_error std::__throw_bad_function_call)
set(allowed_thrown "^nlohmann::")
if(NOT OBJDUMP)
  message(FATAL_ERROR "No objdump: the throw expressions of the core cannot be found")
endif()
set(failures "")
foreach(library IN LISTS LIBRARIES)
  core_imports(${library} "(std::__throw_[a-z_]+)" objects helpers)
  foreach(object helper IN ZIP_LISTS objects helpers)
    if(NOT helper IN_LIST allowed_helpers)
      list(APPEND failures "${object}: ${helper}")
    endif()
  endforeach()
  # The disassembly cut to the objects' names, the functions' names, the
  # typeinfo relocations and the calls of __cxa_throw; the characters that
  # CMake's lists treat apart ([ ] ;) made harmless.
  execute_process(COMMAND ${OBJDUMP} -dr -C --no-show-raw-insn ${library}
                  COMMAND grep -E "file format|^[0-9a-f]+ <.*>:$|typeinfo for|__cxa_throw"
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${library}")
  endif()
  string(REPLACE ";" "," listing "${listing}")
  string(REPLACE "[" "(" listing "${listing}")
  string(REPLACE "]" ")" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(object "")
  set(function "")
  set(thrown "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ :]+\\.o):[ \t]+file format")
      set(object ${CMAKE_MATCH_1})
      set(function "")
      set(thrown "")
    elseif(line MATCHES "^[0-9a-f]+ <(.*)>:$")
      set(function "${CMAKE_MATCH_1}")
      set(thrown "")
    elseif(line MATCHES "typeinfo for ([^-+]*)")
      string(STRIP "${CMAKE_MATCH_1}" thrown)
    elseif(line MATCHES "__cxa_throw" AND NOT object IN_LIST SHELL_OBJECTS AND NOT thrown MATCHES "${allowed_thrown}")
      if(thrown STREQUAL "")
        set(thrown "an exception of a type not named")
      endif()
      list(APPEND failures "${object}: ${function} throws ${thrown}")
    endif()
  endforeach()
endforeach()
if(failures)
  list(REMOVE_DUPLICATES failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "The core throws what it should return:\n  ${text}")
endif()
message(STATUS "No core object throws but for memory, its callers' mistakes and the JSON library's misuse")
