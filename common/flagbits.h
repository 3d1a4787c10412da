// Flags kept as single bits of a ROM record, listed as (byte, bit) pairs in
// the order a report shows them.
#pragma once

#include <cstdint>

#include "common/bytes.h"

namespace common {

struct FlagBit {
    int byte;
    int bit;
};

// out[i] = bit flags[i].bit of byte flags[i].byte of the record (0 or 1).
inline void decode_flag_bits(const unsigned char* record, const FlagBit* flags, int count, int32_t* out) {
    for (int i = 0; i < count; ++i) out[i] = bit(record[flags[i].byte], flags[i].bit);
}

}  // namespace common
