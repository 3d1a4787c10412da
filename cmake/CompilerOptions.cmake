# Warnings, and the execution character set: every string literal of the tools
# is written in UTF-8 and must reach the reports as code page 932 (Shift-JIS).
include(CheckCXXSourceCompiles)

option(MT_SHIFT_JIS_LITERALS
       "Compile string literals to code page 932, as the tools need (OFF only for builds that write no Shift-JIS text, such as the fuzz build or a build of the table generator alone)"
       ON)

# mt_build_options: warnings and hardening, for everything the tools are
# built from; mt_options adds the execution character set.
add_library(mt_build_options INTERFACE)
target_compile_options(mt_build_options INTERFACE -Wall -Wextra -Wpedantic)
add_library(mt_options INTERFACE)
target_link_libraries(mt_options INTERFACE mt_build_options)
if(NOT WIN32)
  # 64-bit file positions (off_t, fseeko, ftello) also on 32-bit systems, so
  # that images beyond 2 GiB read right everywhere.
  target_compile_definitions(mt_build_options INTERFACE _FILE_OFFSET_BITS=64)
endif()
if(WIN32)
  # MinGW-w64's C99 printf family instead of the system's: the same formats
  # (%zu, %lld) and the same bytes as on Linux in every report and message.
  target_compile_definitions(mt_build_options INTERFACE __USE_MINGW_ANSI_STDIO=1)
endif()

if(MT_SHIFT_JIS_LITERALS)
  set(CMAKE_REQUIRED_FLAGS "-fexec-charset=CP932")
  check_cxx_source_compiles("
    static_assert(sizeof(\"表\") == 3, \"two bytes\");
    static_assert(static_cast<unsigned char>(\"表\"[0]) == 0x95 &&
                  static_cast<unsigned char>(\"表\"[1]) == 0x5C, \"CP932\");
    int main() { return 0; }" MT_HAVE_EXEC_CHARSET_CP932)
  unset(CMAKE_REQUIRED_FLAGS)
  if(NOT MT_HAVE_EXEC_CHARSET_CP932)
    message(FATAL_ERROR
      "The C++ compiler ${CMAKE_CXX_COMPILER} (${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION}) "
      "cannot encode string literals as code page 932 (-fexec-charset=CP932), so the tools would write "
      "reports that are not Shift-JIS.\n"
      "Build with GCC on Linux or MinGW-w64 GCC for Windows. A build directory keeps the compiler "
      "it was first configured with, so remove ${CMAKE_BINARY_DIR} and choose GCC, for example:\n"
      "  CXX=g++ cmake --preset default\n"
      "(-DMT_SHIFT_JIS_LITERALS=OFF is only for builds that write no Shift-JIS text, such as fuzzing.)")
  endif()
  target_compile_options(mt_options INTERFACE -fexec-charset=CP932)
else()
  if(MT_BUILD_TESTS)
    message(FATAL_ERROR "The tests check Shift-JIS reports: MT_SHIFT_JIS_LITERALS=OFF needs MT_BUILD_TESTS=OFF")
  endif()
  message(STATUS "String literals stay UTF-8 (MT_SHIFT_JIS_LITERALS=OFF): the tools of this build "
                 "are not installed or packaged")
endif()

# The four tools carry the C++ runtime themselves: loading the shared
# libstdc++ costs about as much as a whole analyzer run on a small image.
add_library(mt_tool_options INTERFACE)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_link_options(mt_tool_options INTERFACE -static-libstdc++ -static-libgcc)
endif()

# Debian's usual hardening on Linux: fortified libc calls and stack protection
# for everything compiled into the tools, read-only relocations bound at start
# for the tools themselves. _FORTIFY_SOURCE needs an optimising build, and the
# sanitizer and fuzz builds check memory themselves.
option(MT_HARDENING "Harden the tools as Debian packages are (Linux)" ON)
if(MT_HARDENING AND CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT MT_SANITIZED AND NOT MT_BUILD_FUZZERS)
  target_compile_options(mt_build_options INTERFACE
    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>" -fstack-protector-strong)
  target_link_options(mt_tool_options INTERFACE LINKER:-z,relro,-z,now)
endif()
