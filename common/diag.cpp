#include "common/diag.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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


void vreport(const char* format, va_list args) {
    if (!format) return;
    int saved = errno;  // the prefix output must not change the reported error
    std::string line;
    if (g_program_name[0]) line = std::string(g_program_name) + ": ";
    va_list copy;
    va_copy(copy, args);
    const int n = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
        const size_t start = line.size();
        line.resize(start + static_cast<size_t>(n) + 1);
        vsnprintf(line.data() + start, static_cast<size_t>(n) + 1, format, args);
        line.pop_back();
    }
    size_t len = strlen(format);
    if (len > 0 && format[len - 1] == ':') line += std::string(" ") + strerror(saved);
    line += '\n';
    write_text(stderr, line.c_str());
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

void warn(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vreport(format, args);
    va_end(args);
}
