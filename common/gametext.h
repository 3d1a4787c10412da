// Conversion of game text into Shift-JIS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/chartables.h"

namespace common {

constexpr int kNameSlotSize = 256;  // one converted name, NUL-terminated

// Converts length code bytes of game text into a Shift-JIS string in dst
// (dst_size bytes, always terminated, rest of the buffer cleared). Trailing
// ASCII blanks are stripped. A text that does not fit is cut at a character
// boundary. Returns dst; leaves dst untouched when src is null or a size is 0.
char* convert_game_text(char* dst, const unsigned char* src, size_t dst_size, size_t length,
                        const CharTables& tables);

// The table entry for the code starting at src[i] (one or two bytes; the count
// consumed is stored in *used). A lead byte without its second byte gives
// nullptr.
const char* game_char_at(const unsigned char* src, size_t length, size_t i, size_t* used,
                         const CharTables& tables);

// Writing game text: the code of the character that starts at byte at of
// text (in the tables' own encoding, Shift-JIS or UTF-8) is appended to codes,
// and the character's length in bytes returned; 0 when the game has no code
// for it. Where several codes give the same character, the game's own texts
// use the single-byte one, so the single-byte table is searched first (codes
// 0x50-0xFF: the blank is 0x50, never the second blank 0xE6), then the
// two-byte table in code order (lead byte 0x20 + code / 256, then code % 256).
size_t encode_game_char(const std::string& text, size_t at, const CharTables& tables, std::vector<uint8_t>* codes);

// A name written into its fixed-length field: its codes, then blank codes
// (0x50) up to the field's length, as the game pads its names.
struct NameField {
    std::vector<uint8_t> codes;  // field_length bytes when ok
    bool ok = false;
    size_t bad_char = 0;  // when a character has no code: its byte offset in the name
    size_t length = 0;    // the bytes the name needs (longer than the field when that is the fault)
};
NameField encode_name_field(const std::string& name, size_t field_length, const CharTables& tables);

constexpr uint8_t kBlankCode = 0x50;

}  // namespace common
