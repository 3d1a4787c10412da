// Game text written from readable literals: each character of a Shift-JIS
// string is looked up in a game's character tables and replaced by its code.
#pragma once

#include <cstddef>
#include <string>

#include "common/chartables.h"
#include "demo/demo_image.h"

namespace demo {

// The codes of a text in the tables' own encoding (Shift-JIS where string
// literals are compiled to code page 932): each character is looked up in the
// single-byte table first (codes 0x50-0xFF), then in the two-byte table (lead
// byte 0x20 + code / 256, then code % 256); "\n" is the line-end code. A
// character the game cannot write is thrown as the error (common::Error)
// that ends the generator.
DemoBytes encode_game_text(const std::string& sjis, const common::CharTables& tables);

// A fixed-length name field: the codes, then blank codes (0x50) up to
// field_length bytes. A name longer than its field is thrown as such an error.
DemoBytes name_field(const std::string& sjis, size_t field_length, const common::CharTables& tables);

constexpr uint8_t kLineEndCode = 0x00;

}  // namespace demo
