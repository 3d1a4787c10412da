// Conversion of game text into Shift-JIS.
#pragma once

#include <cstddef>

#include "common/chartables.h"

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
