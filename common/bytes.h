// Little-endian words and bit fields of ROM records.
#pragma once

#include <cstdint>

namespace common {

inline int le16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// 1 when bit n of value is set, else 0.
inline int bit(int value, int n) { return (value >> n) & 1; }

// Bits hi..lo of value, shifted down.
inline int bits(int value, int hi, int lo) { return (value >> lo) & ((1 << (hi - lo + 1)) - 1); }

inline int cap(int value, int limit) { return value > limit ? limit : value; }

}  // namespace common
