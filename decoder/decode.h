// Conversion of a game-encoded text file into Shift-JIS text.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "common/chartables.h"

namespace decoder {

// Converts the source file into the destination file. Returns 1 on success;
// 0 when a path is missing or empty, the source cannot be opened or read, the
// destination is the source itself, or the destination cannot be created or
// completely written.
int decode_file(const char* src_path, const char* dst_path, const common::CharTables& tables);

// Streams game text from in to out: 0x00 is a line end, 0x20-0x23 lead a
// two-byte code, every other byte is a single-byte code; a lead byte at the end
// of the input is dropped. Returns 1 when all input was read and all output
// written, 0 after a read or write error.
int decode_stream(FILE* in, FILE* out, const common::CharTables& tables);

// A game's character tables packed for the decoding loop. Every code is one
// 32-bit entry in one array, so that one lookup serves both kinds: its one or
// two bytes in memory order, then its length (see code_length). The 256
// single-byte codes come first, with the line end for 0x00, then the 1024
// two-byte codes. Per byte value, first is where its codes start (the byte
// itself, or the first two-byte code of a lead byte) and lead is all ones for
// a lead byte, else 0: the code of byte b followed by c is
// codes[first[b] + (lead[b] & c)], without a branch.
struct PackedTables {
    uint32_t codes[256 + 1024];
    uint16_t first[256];
    int8_t lead[256];
};

// The length (1 or 2) of a packed code.
inline uint32_t code_length(uint32_t code) {
    if constexpr (std::endian::native == std::endian::little) return code >> 16;
    return (code >> 8) & 0xFF;
}

// Packs the tables; decode_stream does it once per conversion.
PackedTables pack_tables(const common::CharTables& tables);

// Decodes a whole buffer into out (room for 4 bytes per input byte: each code
// is stored as 4 bytes, of which the next code overwrites what is not its
// own); returns
// the number of bytes written and stores in *consumed how much input was used
// (a trailing lead byte is left unconsumed).
size_t decode_block(const unsigned char* in, size_t length, char* out, size_t* consumed,
                    const PackedTables& tables);

}  // namespace decoder
