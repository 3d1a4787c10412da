// Files by name on Windows: UTF-8 paths as UTF-16, 64-bit positions, file
// identity by volume serial number and file index, console text and the wide
// command line, files put in place by MoveFileExW. The one file of the tools
// that includes windows.h.
#include "common/files.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/diag.h"

namespace common {

namespace {

// UTF-8 to UTF-16; false (errno EINVAL) for a text that is not UTF-8.
bool widen(const char* text, std::wstring* wide) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (n <= 0) {
        errno = EINVAL;
        return false;
    }
    wide->resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide->data(), n);
    wide->pop_back();  // the terminating NUL is the string's own
    return true;
}

struct WinIdentity {
    DWORD volume;
    DWORD index_high;
    DWORD index_low;
};

bool identity_of(HANDLE handle, WinIdentity* id) {
    BY_HANDLE_FILE_INFORMATION info;
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return false;
    *id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    // A file system that gives no file index cannot tell two files apart.
    return id->index_high != 0 || id->index_low != 0;
}

}  // namespace

FILE* open_file(const char* path, const char* mode) {
    std::wstring wide_path, wide_mode;
    if (!path || !mode || !widen(path, &wide_path) || !widen(mode, &wide_mode)) return nullptr;
    return unless_out_of_memory(_wfopen(wide_path.c_str(), wide_mode.c_str()));
}

int seek_file(FILE* stream, int64_t offset, int whence) { return _fseeki64(stream, offset, whence); }

int64_t tell_file(FILE* stream) { return _ftelli64(stream); }

namespace {

// The identity of the file a path names: Same when found, Different when
// nothing has that name, Unknown when it cannot be told.
FileIdentity identity_at(const char* path, WinIdentity* id) {
    std::wstring wide;
    if (!widen(path, &wide)) return FileIdentity::Unknown;
    // No access rights asked for and every sharing mode allowed: this only
    // looks at the file. Symbolic links are followed to their target.
    const HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileIdentity::Different
                                                                              : FileIdentity::Unknown;
    }
    const bool known = identity_of(handle, id);
    CloseHandle(handle);
    return known ? FileIdentity::Same : FileIdentity::Unknown;
}

bool same_identity(const WinIdentity& a, const WinIdentity& b) {
    return a.volume == b.volume && a.index_high == b.index_high && a.index_low == b.index_low;
}

}  // namespace

FileIdentity file_identity(FILE* stream, const char* path) {
    WinIdentity open_id, path_id;
    if (!identity_of(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &open_id)) return FileIdentity::Unknown;
    const FileIdentity found = identity_at(path, &path_id);
    if (found != FileIdentity::Same) return found;
    return same_identity(open_id, path_id) ? FileIdentity::Same : FileIdentity::Different;
}

FileIdentity path_identity(const char* a, const char* b) {
    WinIdentity a_id, b_id;
    const FileIdentity found_a = identity_at(a, &a_id);
    if (found_a != FileIdentity::Same) return found_a;
    const FileIdentity found_b = identity_at(b, &b_id);
    if (found_b != FileIdentity::Same) return found_b;
    return same_identity(a_id, b_id) ? FileIdentity::Same : FileIdentity::Different;
}

bool same_file_name(const std::string& a, const std::string& b) {
    std::wstring wide_a, wide_b;
    if (!widen(a.c_str(), &wide_a) || !widen(b.c_str(), &wide_b)) return a == b;
    return CompareStringOrdinal(wide_a.c_str(), -1, wide_b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool FileMapping::map(FILE* stream, int64_t offset, size_t length) {
    unmap();
    const int saved = errno;
    const HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    errno = saved;
    LARGE_INTEGER file_size;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const int64_t granularity = system.dwAllocationGranularity;
    if (offset < 0 || length == 0 || file == INVALID_HANDLE_VALUE || GetFileType(file) != FILE_TYPE_DISK ||
        !GetFileSizeEx(file, &file_size) || file_size.QuadPart <= offset || granularity <= 0) {
        return false;
    }
    const Pages pages = pages_of(offset, length, static_cast<uint64_t>(file_size.QuadPart), granularity);
    const uint64_t start = static_cast<uint64_t>(pages.start);
    // The view keeps the mapping object alive after its handle is closed.
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, static_cast<DWORD>(start >> 32),
                                         static_cast<DWORD>(start & 0xFFFFFFFF), pages.view_size)
                         : nullptr;
    if (mapping) CloseHandle(mapping);
    errno = saved;
    if (!view) return false;
    hold(view, pages, offset);
    return true;
}

void FileMapping::unmap() {
    if (!view_) return;
    UnmapViewOfFile(view_);
    forget();
}

bool is_directory(FILE* stream) {
    struct _stat64 st;
    return _fstat64(_fileno(stream), &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFDIR;
}

// Files written whole.
FILE* create_new_file(const char* path, const char* mode) {
    std::wstring wide;
    if (!widen(path, &wide)) return nullptr;
    const int flags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_NOINHERIT | (strchr(mode, 'b') ? _O_BINARY : _O_TEXT);
    const int fd = _wopen(wide.c_str(), flags, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    FILE* stream = _fdopen(fd, mode);
    if (!stream) {
        const int saved = errno;
        _close(fd);
        _wunlink(wide.c_str());
        errno = saved;
    }
    return unless_out_of_memory(stream);
}

// The final name is never opened: a file that another run holds open, even
// only to look at it, cannot be renamed over.
bool look_at_path(const char* path, PathKind* kind, unsigned* permissions) {
    std::wstring wide;
    if (!widen(path, &wide)) return false;
    *kind = PathKind::Other;
    *permissions = 0;
    // A device name (NUL, CON, COM1) stands for "\\.\<device>" wherever it is.
    wchar_t full[16];
    const DWORD length = GetFullPathNameW(wide.c_str(), 16, full, nullptr);
    if (length >= 4 && length < 16 && wcsncmp(full, L"\\\\.\\", 4) == 0) return true;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) *kind = PathKind::Missing;
        return true;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        errno = EACCES;  // as fopen refuses it
        return false;
    }
    *kind = PathKind::Regular;
    return true;
}

bool set_permissions(FILE*, unsigned) { return true; }

bool sync_file(FILE* stream) { return _commit(_fileno(stream)) == 0; }

// A file that another process has open (a reader, a virus scanner, another
// run putting its own file in place) cannot be renamed over for that while:
// the rename is tried again for about a second before it is given up.
bool replace_file(const char* from, const char* to) {
    constexpr int kAttempts = 20;
    constexpr DWORD kPauseMs = 50;
    std::wstring wide_from, wide_to;
    if (!widen(from, &wide_from) || !widen(to, &wide_to)) return false;
    DWORD error = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt) Sleep(kPauseMs);
        if (MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) break;
    }
    errno = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? EACCES
            : error == ERROR_PATH_NOT_FOUND                                    ? ENOENT
                                                                               : EIO;
    return false;
}

void remove_file(const char* path) {
    const int saved = errno;
    std::wstring wide;
    if (widen(path, &wide)) _wunlink(wide.c_str());
    errno = saved;
}

unsigned long process_id() { return GetCurrentProcessId(); }

// Text for a standard stream.

namespace {

// Gives a console the text's own characters; false when the stream is no
// console (or the text no UTF-8), which is then the caller's to write.
bool write_console(FILE* stream, const char* text, std::wstring* wide) {
    if (!widen(text, wide)) return false;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode;
    if (!GetConsoleMode(handle, &mode)) return false;
    fflush(stream);
    DWORD written;
    WriteConsoleW(handle, wide->data(), static_cast<DWORD>(wide->size()), &written, nullptr);
    return true;
}

void write_wide_text(FILE* stream, const char* text) {
    std::wstring wide;
    if (write_console(stream, text, &wide)) return;
    if (wide.empty()) {
        fputs(text, stream);
        return;
    }
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n, nullptr, nullptr);
    fputs(narrow.c_str(), stream);  // text mode: "\n" becomes CR LF
}

}  // namespace

// Without the memory for a wide copy (a diagnostic of memory that ran out),
// the bytes go out as they are.
void write_text(FILE* stream, const char* text) {
    try {
        write_wide_text(stream, text);
    } catch (const std::bad_alloc&) {
        fputs(text, stream);
    }
}

void write_utf8(FILE* stream, const char* text) {
    try {
        std::wstring wide;
        if (write_console(stream, text, &wide)) return;
    } catch (const std::bad_alloc&) {
    }
    fputs(text, stream);  // text mode: "\n" becomes CR LF
}

// The command line.

// The C runtime's wide arguments, split by the same rules as the narrow ones.
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int glob, int* startup);

void utf8_arguments(int* argc, char*** argv) {
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    int wide_argc = 0;
    wchar_t** wide_argv = nullptr;
    wchar_t** wide_env = nullptr;
    int startup = 0;
    if (__wgetmainargs(&wide_argc, &wide_argv, &wide_env, 0, &startup) != 0 || !wide_argv) return;
    texts.assign(static_cast<size_t>(wide_argc), std::string());
    for (int i = 0; i < wide_argc; ++i) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, wide_argv[i], -1, nullptr, 0, nullptr, nullptr);
        if (n <= 0) return;
        texts[i].resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_UTF8, 0, wide_argv[i], -1, texts[i].data(), n, nullptr, nullptr);
        texts[i].pop_back();
    }
    pointers.clear();
    for (std::string& t : texts) pointers.push_back(t.data());
    pointers.push_back(nullptr);
    *argc = wide_argc;
    *argv = pointers.data();
}

}  // namespace common
