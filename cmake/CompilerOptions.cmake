# Warnings, and the execution character set: every string literal of the tools
# is written in UTF-8 and must reach the reports as code page 932 (Shift-JIS).
include(CheckCXXSourceCompiles)

add_library(mt_options INTERFACE)
target_compile_options(mt_options INTERFACE -Wall -Wextra -Wpedantic)

set(CMAKE_REQUIRED_FLAGS "-fexec-charset=CP932")
check_cxx_source_compiles("
  static_assert(sizeof(\"表\") == 3, \"two bytes\");
  static_assert(static_cast<unsigned char>(\"表\"[0]) == 0x95 &&
                static_cast<unsigned char>(\"表\"[1]) == 0x5C, \"CP932\");
  int main() { return 0; }" MT_HAVE_EXEC_CHARSET_CP932)
unset(CMAKE_REQUIRED_FLAGS)

if(MT_HAVE_EXEC_CHARSET_CP932)
  target_compile_options(mt_options INTERFACE -fexec-charset=CP932)
else()
  message(WARNING "The compiler cannot encode string literals as CP932: "
                  "report texts will not be Shift-JIS and the encoding test will fail.")
endif()

# The four tools carry the C++ runtime themselves: loading the shared
# libstdc++ costs about as much as a whole analyzer run on a small image.
add_library(mt_tool_options INTERFACE)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_link_options(mt_tool_options INTERFACE -static-libstdc++ -static-libgcc)
endif()
