// Report writing: the writer skeleton shared by every report, row prefixes,
// blocks separated by empty lines and block titles. Row reports are built on
// it in rows.h.
#pragma once

#include <cstdio>

#include "common/outfile.h"

// A name lookup (monster_name, tech_name, ...): the name of an index, "" for
// an index out of range; the text stays valid until the process ends.
using NameLookup = const char* (*)(int);

// Whether path names the open ROM image (then errno is EBUSY): no report or
// data file is ever written over it.
bool refuses_image(const char* path);

// Opens a report for writing, in text mode unless asked otherwise (created,
// or truncated on open).
// Refuses (errno EBUSY) a path that names the open ROM image. Returns 0 when
// the file cannot be created.
int open_report(OutputFile& file, const char* path, OutputMode mode = OutputMode::kText);

// The writer contract: 0 without creating anything for a null or empty path
// or a missing block, 0 when the file cannot be created or completely written,
// 1 when the report was written. The file is closed also when the body leaves
// early through a fatal hook that throws.
template <typename Body>
int write_report(const char* path, bool have_blocks, Body&& body) {
    if (!path || !*path || !have_blocks) return 0;
    OutputFile file;
    if (!open_report(file, path)) return 0;
    body(file.stream());
    return file.close();
}

// Row prefix "%03d(%0<hex_digits>X): %-<name_width>s :" (no trailing blank).
// Written field by field (see fields.h), as are the other row pieces.
void print_row_prefix(FILE* stream, int index, int hex_digits, const char* name, int name_width);

// Writes a line feed before every block but the first, so that blocks are
// separated by one empty line and the file ends without one.
class BlockSeparator {
public:
    void next(FILE* stream) {
        if (!first_) fputc('\n', stream);
        first_ = false;
    }

private:
    bool first_ = true;
};

// Prints n integers as "%<width>d" (or "%+<width>d" with plus), ", " between them.
void print_int_list(FILE* stream, const int* values, int n, int width, bool plus = false);

// Bracketed block title "[No.%03d(%02X): %s]\n" (the name unpadded).
void print_block_title(FILE* stream, int index, const char* name);
