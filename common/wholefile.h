// Data files that a reader finds either as they were or complete, never cut
// short or mixed from two runs: the exports, images and patches that people
// load into programs.
//
// The bytes go to a new temporary file in the destination's folder, hidden
// and ending in ".tmp" (".mt-<process>-<n>.tmp"), so that no glob of the
// final names picks one up; only when they were all written, pushed to the
// disk and closed without an error is it renamed over the final name, in one
// step. A file that fails is removed, and the file of the final name stays as
// it was. A run that is killed may leave its temporary file, never a cut file
// under the final name.
//
// A final name that is not a regular file (a symbolic link, a FIFO, a device
// such as /dev/null) is written through as fopen(path, "w") writes it: the
// link keeps pointing where the user pointed it. A regular file that the user
// may not write is refused (errno as fopen gives it), never replaced; one
// that is replaced passes its permission bits on to the new file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/outfile.h"

namespace common {

// Writes the file's bytes into the stream; false abandons the file (with
// errno set).
using FileBody = std::function<bool(FILE* stream)>;

// Writes path whole from the body, in the given mode. Returns true, or false with
// errno set when the file could not be created, completely written or put in
// place.
bool write_whole_file(const char* path, OutputMode mode, const FileBody& body);

// Writes path whole from a buffer, in binary.
bool write_whole_file(const char* path, const void* data, size_t size);

// One file of a set written all or nothing.
struct WholeFileOutput {
    std::string path;
    const void* data;
    size_t size;
};

// Writes every file whole, in binary, or none: each temporary file is
// written, pushed to the disk and closed first, and only when all are
// complete are they renamed over their final names. A failure removes every
// temporary file and leaves the files of those names as they were. Returns
// true, or false with errno set and *failed the position of the file that failed.
bool write_whole_files(const std::vector<WholeFileOutput>& files, size_t* failed);

// Reads the whole file at path (an image, a patch, an edited export) into
// bytes, reserved at its size, refusing one of more than limit bytes. Returns
// true, or false with errno set (EFBIG past the limit).
bool read_whole_file(const char* path, size_t limit, std::vector<unsigned char>* bytes);

}  // namespace common
