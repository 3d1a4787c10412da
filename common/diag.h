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

constexpr int kPathSize = 1024;  // every path and name buffer: 1023 characters + NUL

void set_program_name(const char* name);
const char* program_name();

// Writes "<program>: <message>" and, when the format itself ends with ':',
// " <strerror(errno)>", then a line end. A null format writes nothing.
void vreport(const char* format, va_list args);

// Flushes standard output, reports, and ends the process with status 1.
[[noreturn]] void fatal(const char* format, ...) __attribute__((format(MT_PRINTF_FORMAT, 1, 2)));

// Called by fatal after the diagnostic, before the process ends. A harness
// that runs many inputs in one process (a fuzzer) installs a hook that leaves
// by throwing; when the hook returns, the process ends as usual.
using FatalHook = void (*)();
void set_fatal_hook(FatalHook hook);

// The one throwing hook, shared by every such harness (the fuzz targets, the
// tests): it throws FatalExit, so that the owners on the way release what
// they hold.
struct FatalExit {};
[[noreturn]] void throw_fatal_exit();

// Ends the run with "Fatal error in malloc()" when a stream could not be
// opened for want of memory (errno ENOMEM); else returns the stream.
FILE* unless_out_of_memory(FILE* stream);

// Prints an error value of the core as fatal prints a diagnostic (standard
// output flushed first, each line as "<program>: <line>") and returns its
// exit status.
int report_error(const common::Error& error);

// Prints the error value as report_error does and ends the process with its
// status.
[[noreturn]] void fatal(const common::Error& error);

// Reports and returns.
void warn(const char* format, ...) __attribute__((format(MT_PRINTF_FORMAT, 1, 2)));

// Copies at most size - 1 characters of src into dst and terminates it.
void copy_truncated(char* dst, const char* src, int size);
