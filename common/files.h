// Files by name, the same way on every platform the tools run on.
//
// Paths are UTF-8 throughout. On Windows they are converted to UTF-16 for the
// file system, so that a name in any script reaches it intact whatever the
// system's code page is; elsewhere they are passed through as they are. File
// positions are 64-bit, so that images beyond 2 GiB are read everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace common {

// The parts of a path: its folder with the last separator ("" for a bare
// name) and the name after it. The separator is '/', and on Windows '\\' too.
std::string folder_of(const std::string& path);
std::string base_name(const std::string& path);

// fopen(path, mode) for a UTF-8 path.
FILE* open_file(const char* path, const char* mode);

// Creates a file that does not exist yet and opens it as fopen(path, mode)
// would; a file of that name is left alone (errno EEXIST).
FILE* create_new_file(const char* path, const char* mode);

// What a path names before a file is written in its place.
enum class PathKind {
    Missing,  // nothing by that name
    Regular,  // a regular file that the user may write
    Other,    // a symbolic link, FIFO, device, directory: written through
};
// Looks at path without changing it. Returns false with errno set for a regular
// file that the user may not write (fopen would refuse it too), else true with
// the kind and, for a regular file, its permission bits.
bool look_at_path(const char* path, PathKind* kind, unsigned* permissions);

// Gives an open file the permission bits of the file it is to replace
// (nothing to do on Windows, where writable files carry no such bits).
// Returns true, or false with errno set.
bool set_permissions(FILE* stream, unsigned permissions);

// Pushes what an open file holds to the disk. Returns true, or false with errno set.
bool sync_file(FILE* stream);

// Renames from over to in one step: a reader finds the old file or the new
// one, never neither (on Windows MoveFileExW with MOVEFILE_REPLACE_EXISTING).
// Returns true, or false with errno set.
bool replace_file(const char* from, const char* to);

// Removes a file; errno is left as it was.
void remove_file(const char* path);

// The number of this process, for names that no other run uses at once.
unsigned long process_id();

// fseek and ftell with 64-bit positions.
int seek_file(FILE* stream, int64_t offset, int whence);
int64_t tell_file(FILE* stream);

// A part of a regular file mapped read-only into memory (mmap on POSIX, a
// file mapping view on Windows), so that a reader touches only the pages it
// looks at and nothing is copied. Empty when the part cannot be mapped: not a
// regular file (a directory, a device, a pipe), nothing of the file at the
// offset, or refused by the system; the caller then reads the stream as
// before. The mapping does not move the stream's position and leaves errno as
// it was.
class FileMapping {
public:
    FileMapping() = default;
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;
    ~FileMapping() { unmap(); }

    // Maps length bytes from the file position offset on, or as many as the
    // file holds there; false leaves it empty.
    bool map(FILE* stream, int64_t offset, size_t length);
    void unmap();

    // The bytes from the offset on.
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    // The pages to map for length bytes from offset on in a file of
    // file_size bytes: from the offset rounded down to the granularity.
    struct Pages {
        int64_t start;
        size_t view_size;
        size_t size;  // the bytes from the offset on
    };
    static Pages pages_of(int64_t offset, size_t length, uint64_t file_size, int64_t granularity);
    // Holds a view of pages mapped for the offset; forgets it.
    void hold(void* view, const Pages& pages, int64_t offset);
    void forget();

    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
    void* view_ = nullptr;  // the mapped pages, from the offset rounded down
    size_t view_size_ = 0;
};

// Whether a path names the file that a stream has open, by the file system's
// own identity of a file (device and inode; on Windows volume serial number
// and file index), which no other spelling of the path, hard link or
// symbolic link changes.
enum class FileIdentity {
    Different,  // another file, or none by that name
    Same,
    Unknown,  // the identity could not be established: a guard must refuse
};
FileIdentity file_identity(FILE* stream, const char* path);

// Whether two paths name one file, by the same identity; a path that names
// nothing is Different from every other.
FileIdentity path_identity(const char* a, const char* b);

// Whether two names of files in one folder are the same name to the file
// system (on Windows without regard to case).
bool same_file_name(const std::string& a, const std::string& b);

// Whether two outputs, which need not exist yet, name one file: by identity
// when either exists, else by the same name in the same folder (the folders
// compared by identity).
FileIdentity output_identity(const std::string& a, const std::string& b);

// True when the stream has a directory open.
bool is_directory(FILE* stream);

// Writes a UTF-8 text (a diagnostic, the help) to standard output or error.
// On Windows a console is given the text's own characters and a file or pipe
// the system's code page, as the narrow command line would have spelled it;
// elsewhere the bytes go out unchanged.
void write_text(FILE* stream, const char* text);

// Writes a UTF-8 text that a program's output is: a console is given its
// own characters, as by write_text; a file or pipe its UTF-8 bytes.
void write_utf8(FILE* stream, const char* text);

// Makes the arguments UTF-8, the encoding of every path in the tools. On
// Windows they are taken again from the wide command line (the narrow one
// turns every character outside the system's code page into '?'); elsewhere
// they are left as they are. Called first thing in main.
void utf8_arguments(int* argc, char*** argv);

}  // namespace common
