#include "common/diag.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

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

#ifdef _WIN32

namespace {

// The text in UTF-16, or false when it is not UTF-8.
bool widen(const char* text, std::wstring* wide) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (n <= 0) return false;
    wide->resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide->data(), n);
    wide->pop_back();
    return true;
}

}  // namespace

void write_text(FILE* stream, const char* text) {
    std::wstring wide;
    if (!widen(text, &wide)) {
        fputs(text, stream);
        return;
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode;
    if (GetConsoleMode(handle, &mode)) {
        fflush(stream);
        DWORD written;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n, nullptr, nullptr);
    fputs(narrow.c_str(), stream);  // text mode: "\n" becomes CR LF
}

#else

void write_text(FILE* stream, const char* text) { fputs(text, stream); }

#endif

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
