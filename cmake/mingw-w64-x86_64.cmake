# Cross build for 64-bit Windows with Debian's MinGW-w64 GCC (posix threads:
# the win32-thread compiler has no std::mutex, which GoogleTest needs).
# Programs that the build runs itself (table files, demo images, test
# discovery, the tests) run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine without its first-run dialogs (Mono, Gecko) and without debug noise.
find_program(MT_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(MT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= ${MT_WINE})
endif()

# Static C++ runtime and threads: the .exe files need only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
