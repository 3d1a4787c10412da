// Files by name on POSIX systems: paths and 64-bit positions passed through,
// file identity by device and inode.
#include "common/files.h"

#include <sys/stat.h>
#include <unistd.h>

// Positions beyond 2 GiB on 32-bit systems too: the build asks for a 64-bit
// off_t (_FILE_OFFSET_BITS=64), and fseeko/ftello take it.
static_assert(sizeof(off_t) == 8, "file positions must be 64-bit");

FILE* open_file(const char* path, const char* mode) { return fopen(path, mode); }

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

bool is_directory(FILE* stream) {
    struct stat st;
    return fstat(fileno(stream), &st) == 0 && S_ISDIR(st.st_mode);
}

void write_text(FILE* stream, const char* text) { fputs(text, stream); }

void utf8_arguments(int*, char***) {}

