// Diagnostics shared by all tools: the program-name store and one-line messages
// on standard error.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "common/error.h"

// The printf dialect that formats the diagnostics (on Windows MinGW-w64's own
// C99 printf, not the system's, so that they read as on every other platform).
#ifdef __MINGW_PRINTF_FORMAT
#define MT_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define MT_PRINTF_FORMAT printf
#endif

namespace common {

constexpr int kPathSize = 1024;  // every path and name buffer: 1023 characters + NUL

void set_program_name(const char* name);
const char* program_name();

// Writes "<program>: <message>" and, when the format itself ends with ':',
// " <strerror(errno)>", then a line end. A null format writes nothing.
void vreport(const char* format, va_list args);

// The status that a tool's trouble ends it with: 1, or the tool's own (the
// comparisons give 2). tool_main sets it from its trouble argument.
void set_trouble_status(int status);

// Flushes standard output, reports, and ends the process with the trouble
// status (1 unless the tool's main gave another).
[[noreturn]] void fatal(const char* format, ...) __attribute__((format(MT_PRINTF_FORMAT, 1, 2)));

// Ends the run with "Fatal error in malloc()" when a stream could not be
// opened for want of memory (errno ENOMEM); else returns the stream.
FILE* unless_out_of_memory(FILE* stream);

// Prints an error value of the core as fatal prints a diagnostic (standard
// output flushed first, each line as "<program>: <line>") and returns its
// exit status.
int report_error(const common::Error& error);

// Prints the error value as report_error does and ends the process with its
// status (status 1, trouble, as the trouble status).
[[noreturn]] void fatal(const common::Error& error);

// Reports and returns.
void warn(const char* format, ...) __attribute__((format(MT_PRINTF_FORMAT, 1, 2)));

// Copies at most size - 1 characters of src into dst and terminates it.
void copy_truncated(char* dst, const char* src, int size);

}  // namespace common
