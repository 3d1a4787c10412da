#include "common/diag.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/files.h"

namespace common {

namespace {
char g_program_name[kPathSize];
int g_trouble_status = 1;
}  // namespace

void set_trouble_status(int status) { g_trouble_status = status; }

void copy_truncated(char* dst, const char* src, int size) {
    if (!dst || size <= 0) return;
    size_t n = src ? strnlen(src, static_cast<size_t>(size - 1)) : 0;
    if (n) memcpy(dst, src, n);
    dst[n] = '\0';
}

void set_program_name(const char* name) {
    if (name) copy_truncated(g_program_name, name, kPathSize);
}

const char* program_name() { return g_program_name; }

void vreport(const char* format, va_list args) {
    if (!format) return;
    int saved = errno;  // the prefix output must not change the reported error
    const size_t len = strlen(format);
    const char* reason = len > 0 && format[len - 1] == ':' ? strerror(saved) : nullptr;
    va_list copy;
    va_copy(copy, args);
    const int n = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    const size_t size = strlen(g_program_name) + 2 + static_cast<size_t>(n > 0 ? n : 0) +
                        (reason ? strlen(reason) + 1 : 0) + 2;
    // A line of usual length, the diagnostic of memory that ran out among
    // them, is assembled on the stack.
    char stack[4 * kPathSize];
    const std::unique_ptr<char[]> heap(size > sizeof stack ? new char[size] : nullptr);
    char* line = heap ? heap.get() : stack;
    int used = g_program_name[0] ? snprintf(line, size, "%s: ", g_program_name) : 0;
    if (n > 0) used += vsnprintf(line + used, size - static_cast<size_t>(used), format, args);
    if (reason) used += snprintf(line + used, size - static_cast<size_t>(used), " %s", reason);
    snprintf(line + used, size - static_cast<size_t>(used), "\n");
    write_text(stderr, line);
    errno = saved;
}

void fatal(const char* format, ...) {
    int saved = errno;
    fflush(stdout);
    errno = saved;
    va_list args;
    va_start(args, format);
    vreport(format, args);
    va_end(args);
    exit(g_trouble_status);
}

int report_error(const common::Error& error) {
    int saved = errno;
    fflush(stdout);
    errno = saved;
    for (const std::string& line : error.lines) warn("%s", line.c_str());
    return error.status;
}

void fatal(const common::Error& error) {
    const int status = report_error(error);
    exit(status == 1 ? g_trouble_status : status);
}

FILE* unless_out_of_memory(FILE* stream) {
    if (!stream && errno == ENOMEM) fatal("Fatal error in malloc()");
    return stream;
}

void warn(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vreport(format, args);
    va_end(args);
}

}  // namespace common
