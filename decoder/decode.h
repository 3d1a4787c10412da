// Conversion of a game-encoded text file into Shift-JIS text.
#pragma once

#include <cstddef>
#include <cstdio>

#include "common/chartables.h"

// Converts the source file into the destination file. Returns 1 on success;
// 0 when a path is missing or empty, the source cannot be opened or read, the
// destination is the source itself, or the destination cannot be created or
// completely written.
int decode_file(const char* src_path, const char* dst_path, const CharTables& tables);

// Streams game text from in to out: 0x00 is a line end, 0x20-0x23 lead a
// two-byte code, every other byte is a single-byte code; a lead byte at the end
// of the input is dropped. Returns 1 when all input was read and all output
// written, 0 after a read or write error.
int decode_stream(FILE* in, FILE* out, const CharTables& tables);

// A table entry packed for the decoding loop: its one or two bytes and its
// length, so that every code is copied without looking at its text.
struct PackedEntry {
    char bytes[2];
    unsigned char length;
};

// A game's character tables in packed form, in one array so that one lookup
// serves both kinds: the 256 single-byte codes, with the line end for 0x00,
// then the 1024 two-byte codes.
struct PackedTables {
    PackedEntry codes[256 + 1024];
};

// Packs the tables; decode_stream does it once per conversion.
PackedTables pack_tables(const CharTables& tables);

// Decodes a whole buffer into out (at most 4 bytes per input byte); returns
// the number of bytes written and stores in *consumed how much input was used
// (a trailing lead byte is left unconsumed).
size_t decode_block(const unsigned char* in, size_t length, char* out, size_t* consumed,
                    const PackedTables& tables);
