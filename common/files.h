// Files by name, the same way on every platform the tools run on.
//
// Paths are UTF-8 throughout. On Windows they are converted to UTF-16 for the
// file system, so that a name in any script reaches it intact whatever the
// system's code page is; elsewhere they are passed through as they are. File
// positions are 64-bit, so that images beyond 2 GiB are read everywhere.
#pragma once

#include <cstdint>
#include <cstdio>

// fopen(path, mode) for a UTF-8 path.
FILE* open_file(const char* path, const char* mode);

// fseek and ftell with 64-bit positions.
int seek_file(FILE* stream, int64_t offset, int whence);
int64_t tell_file(FILE* stream);

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

// True when the stream has a directory open.
bool is_directory(FILE* stream);

// Writes a UTF-8 text (a diagnostic, the help) to standard output or error.
// On Windows a console is given the text's own characters and a file or pipe
// the system's code page, as the narrow command line would have spelled it;
// elsewhere the bytes go out unchanged.
void write_text(FILE* stream, const char* text);

// Makes the arguments UTF-8, the encoding of every path in the tools. On
// Windows they are taken again from the wide command line (the narrow one
// turns every character outside the system's code page into '?'); elsewhere
// they are left as they are. Called first thing in main.
void utf8_arguments(int* argc, char*** argv);
