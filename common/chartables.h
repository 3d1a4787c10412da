// Character tables, as each game has its own (games/a/chartables.h).
//
// Each game encodes its texts with one byte per code for kana and a few frequent
// kanji, and two bytes (a lead byte 0x20-0x23 and a second byte) for the rest.
// Every entry is a NUL-terminated Shift-JIS text of exactly one character.
#pragma once

namespace common {

struct CharTables {
    const char* const* single;  // 256 entries, indexed by the code byte
    const char* const* dbl;     // 1024 entries, (lead - 0x20) * 256 + second byte
};

// Lead bytes of the two-byte codes.
constexpr unsigned kFirstLeadByte = 0x20;
constexpr unsigned kLastLeadByte = 0x23;

inline bool is_lead_byte(unsigned char b) { return b >= kFirstLeadByte && b <= kLastLeadByte; }

}  // namespace common
