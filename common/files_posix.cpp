// Files by name on POSIX systems: paths and 64-bit positions passed through,
// file identity by device and inode, files put in place by rename.
#include "common/files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/diag.h"

namespace common {

// Positions beyond 2 GiB on 32-bit systems too: the build asks for a 64-bit
// off_t (_FILE_OFFSET_BITS=64), and fseeko/ftello take it.
static_assert(sizeof(off_t) == 8, "file positions must be 64-bit");

FILE* open_file(const char* path, const char* mode) {
    return unless_out_of_memory(fopen(path, mode));
}

int seek_file(FILE* stream, int64_t offset, int whence) { return fseeko(stream, static_cast<off_t>(offset), whence); }

int64_t tell_file(FILE* stream) { return ftello(stream); }

// A path that cannot be looked at cannot be opened either: it is not the
// open file.
FileIdentity file_identity(FILE* stream, const char* path) {
    struct stat open_st, path_st;
    if (fstat(fileno(stream), &open_st) != 0) return FileIdentity::Unknown;
    if (stat(path, &path_st) != 0) return FileIdentity::Different;
    const bool same = open_st.st_dev == path_st.st_dev && open_st.st_ino == path_st.st_ino;
    return same ? FileIdentity::Same : FileIdentity::Different;
}

FileIdentity path_identity(const char* a, const char* b) {
    struct stat a_st, b_st;
    if (stat(a, &a_st) != 0 || stat(b, &b_st) != 0) return FileIdentity::Different;
    return a_st.st_dev == b_st.st_dev && a_st.st_ino == b_st.st_ino ? FileIdentity::Same : FileIdentity::Different;
}

bool same_file_name(const std::string& a, const std::string& b) { return a == b; }

bool FileMapping::map(FILE* stream, int64_t offset, size_t length) {
    unmap();
    const int saved = errno;
    struct stat st;
    const long page = sysconf(_SC_PAGESIZE);
    if (offset < 0 || length == 0 || page <= 0 || fstat(fileno(stream), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size <= offset) {
        errno = saved;
        return false;
    }
    const Pages pages = pages_of(offset, length, static_cast<uint64_t>(st.st_size), page);
    void* view = mmap(nullptr, pages.view_size, PROT_READ, MAP_PRIVATE, fileno(stream), static_cast<off_t>(pages.start));
    errno = saved;
    if (view == MAP_FAILED) return false;
    hold(view, pages, offset);
    return true;
}

void FileMapping::unmap() {
    if (!view_) return;
    const int saved = errno;
    munmap(view_, view_size_);
    errno = saved;
    forget();
}

bool is_directory(FILE* stream) {
    struct stat st;
    return fstat(fileno(stream), &st) == 0 && S_ISDIR(st.st_mode);
}

FILE* create_new_file(const char* path, const char* mode) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    FILE* stream = fdopen(fd, mode);
    if (!stream) {
        const int saved = errno;
        close(fd);
        unlink(path);
        errno = saved;
    }
    return unless_out_of_memory(stream);
}

// A path that cannot be looked at is taken as missing: creating the file
// beside it then fails with the reason.
bool look_at_path(const char* path, PathKind* kind, unsigned* permissions) {
    struct stat st;
    *kind = PathKind::Missing;
    *permissions = 0;
    if (lstat(path, &st) != 0) return true;
    *kind = PathKind::Other;
    if (!S_ISREG(st.st_mode)) return true;
    // Opened for writing without truncating: refused as fopen would refuse it.
    const int fd = open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    *kind = PathKind::Regular;
    *permissions = st.st_mode & 0777;
    return true;
}

bool set_permissions(FILE* stream, unsigned permissions) {
    return fchmod(fileno(stream), static_cast<mode_t>(permissions)) == 0;
}

bool sync_file(FILE* stream) { return fsync(fileno(stream)) == 0; }

bool replace_file(const char* from, const char* to) { return rename(from, to) == 0; }

void remove_file(const char* path) {
    const int saved = errno;
    unlink(path);
    errno = saved;
}

unsigned long process_id() { return static_cast<unsigned long>(getpid()); }

void write_text(FILE* stream, const char* text) { fputs(text, stream); }

void write_utf8(FILE* stream, const char* text) { fputs(text, stream); }

void utf8_arguments(int*, char***) {}

}  // namespace common
