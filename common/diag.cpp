#include "common/diag.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/files.h"

namespace {
char g_program_name[kPathSize];
FatalHook g_fatal_hook = nullptr;
}  // namespace

void set_fatal_hook(FatalHook hook) { g_fatal_hook = hook; }

void throw_fatal_exit() { throw FatalExit{}; }

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


namespace {

// Appends printf output to a fixed line, cut short at its end.
size_t append(char* line, size_t used, size_t size, const char* format, ...)
    __attribute__((format(MT_PRINTF_FORMAT, 4, 5)));
size_t append_v(char* line, size_t used, size_t size, const char* format, va_list args) {
    if (used + 1 >= size) return used;
    const int n = vsnprintf(line + used, size - used, format, args);
    return n < 0 ? used : std::min(used + static_cast<size_t>(n), size - 1);
}
size_t append(char* line, size_t used, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    used = append_v(line, used, size, format, args);
    va_end(args);
    return used;
}

}  // namespace

// The line is assembled on the stack: the diagnostic of memory that ran out
// must not need any.
void vreport(const char* format, va_list args) {
    if (!format) return;
    int saved = errno;  // the prefix output must not change the reported error
    char line[4 * kPathSize];
    const size_t size = sizeof line - 1;  // room for the line end
    size_t used = 0;
    line[0] = '\0';
    if (g_program_name[0]) used = append(line, used, size, "%s: ", g_program_name);
    used = append_v(line, used, size, format, args);
    size_t len = strlen(format);
    if (len > 0 && format[len - 1] == ':') used = append(line, used, size, " %s", strerror(saved));
    line[used] = '\n';
    line[used + 1] = '\0';
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
    if (g_fatal_hook) g_fatal_hook();
    exit(1);
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
