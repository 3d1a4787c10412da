# Checks that the core's objects neither end the process nor touch a file nor
# print: run as `cmake -DNM=... -DLIBRARIES=a.a;b.a -DSHELL_OBJECTS=x.cpp.o;...
# -P check_core_symbols.cmake`. Every object of the libraries but the shells'
# (SHELL_OBJECTS) is listed with the symbols it needs from elsewhere (nm -u);
# one of the process's exits, the C library's file and stream calls or the
# shells' own printing functions among them fails the check, naming the object
# and the symbol.
cmake_policy(SET CMP0057 NEW)  # IN_LIST
include(${CMAKE_CURRENT_LIST_DIR}/core_imports.cmake)
set(forbidden
  exit _exit _Exit quick_exit abort
  fopen fopen64 freopen fdopen fclose fread fwrite fflush fputs fputc putc puts putchar printf vprintf fprintf
  vfprintf perror fgets fgetc getc fscanf stdin stdout stderr
  open open64 openat creat close read write pread pwrite lseek lseek64 mmap mmap64 munmap unlink remove rename
  system popen
  common::fatal common::warn common::vreport common::report_error common::program_name common::set_program_name
  common::write_text common::open_file common::file_identity)
set(failures "")
foreach(library IN LISTS LIBRARIES)
  core_imports(${library} "([^(]+)" objects symbols)
  foreach(object symbol IN ZIP_LISTS objects symbols)
    if(symbol IN_LIST forbidden)
      list(APPEND failures "${object}: ${symbol}")
    endif()
  endforeach()
endforeach()
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "The core uses what only the shells may:\n  ${text}")
endif()
message(STATUS "No core object ends the process, touches a file or prints")
