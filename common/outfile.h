// Output files (reports, decoded text): created or replaced like fopen(path,
// "w"), but cheaper to rewrite.
//
// An existing regular file is overwritten in place and cut to its new length
// when it is closed, instead of being truncated to zero when it is opened:
// ext4 forces the data of a file truncated to zero onto the disk when it is
// closed, which made rewriting a set of reports several times slower than
// writing them. The result is the same file. Should the process end while the
// file is open (a fatal diagnostic), an exit handler cuts it to what was
// written, as truncation on open would have left it.
#pragma once

#include <cstdio>

// Like fopen(path, "w"); null with errno set when the file cannot be created.
FILE* open_output(const char* path);

// Flushes, cuts the file to its written length and closes it. Returns 1 when
// everything written reached the file, 0 after any write or close error
// (errno tells why).
int close_output(FILE* stream);

// Cuts and closes a file whose writing was abandoned; errors are ignored.
void abandon_output(FILE* stream);
