// Report writing: a report is formatted in memory (fields.h) and then saved
// in one write; row prefixes, blocks separated by empty lines and block
// titles. Row reports are built on it in rows.h.
#pragma once

#include "common/fields.h"
#include "common/names.h"
#include "common/outfile.h"
#include "common/rom.h"

namespace common {

// Opens an output file for writing, in text mode unless asked otherwise
// (created, or truncated on open). Refuses (errno EBUSY) a path that names
// the image. Returns false when the file cannot be created.
bool open_report(OutputFile& file, const char* path, const RomImage& image, OutputMode mode = OutputMode::kText);

// Whether path names the image (then errno is EBUSY): no report or data file
// is ever written over it.
bool refuses_image(const RomImage& image, const char* path);

// Saves a formatted report in text mode: opens the path as open_report does
// and writes the text in one piece. Returns true when all of it reached the
// file, false (errno tells why) when the file cannot be created or completely
// written.
bool save_report(const char* path, const ReportText& text, const RomImage& image);

// Row prefix "%03d(%0<hex_digits>X): %-<name_width>s :" (no trailing blank).
// Written field by field (see fields.h), as are the other row pieces.
void print_row_prefix(ReportText& stream, int index, int hex_digits, const char* name, int name_width);

// Writes a line feed before every block but the first, so that blocks are
// separated by one empty line and the file ends without one.
class BlockSeparator {
public:
    void next(ReportText& stream) {
        if (!first_) stream.ch('\n');
        first_ = false;
    }

private:
    bool first_ = true;
};

// Prints n integers as "%<width>d" (or "%+<width>d" with plus), ", " between them.
void print_int_list(ReportText& stream, const int* values, int n, int width, bool plus = false);

// Bracketed block title "[No.%03d(%02X): %s]\n" (the name unpadded).
void print_block_title(ReportText& stream, int index, const char* name);

}  // namespace common
