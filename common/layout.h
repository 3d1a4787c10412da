// Where a game keeps its data: every ROM table (rom offset, record size,
// record count) and every stored field of a record (byte, bits, how the value
// is packed). The loaders decode through these fields, the importers encode
// through them, and the tests, the fuzz target and the demo generator take
// their table regions from the same lists.
#pragma once

#include <cstddef>
#include <cstdint>

namespace common {

// A ROM table: count records of record_size bytes from a rom offset.
struct TableLayout {
    const char* name;
    long offset;
    int record_size;
    int count;

    constexpr long size() const { return static_cast<long>(record_size) * count; }
    constexpr long end() const { return offset + size(); }
    // Rom offset of record i.
    constexpr long record(int i) const { return offset + static_cast<long>(record_size) * i; }
};

// The items of one kind: numbers first .. first + count - 1 (an item's
// number decides its kind).
struct ItemRange {
    int first;
    int count;

    constexpr int last() const { return first + count - 1; }
    constexpr int end() const { return first + count; }
    constexpr bool holds(int item) const { return item >= first && item < end(); }
};

// The end of the highest of the tables: rom offsets 0 up to it hold every
// table (the part of an image that is read into memory).
template <size_t N>
constexpr long tables_end(const TableLayout (&tables)[N]) {
    long end = 0;
    for (const TableLayout& t : tables) end = t.end() > end ? t.end() : end;
    return end;
}

// A number stored in width bits from bit lo of the little-endian word that
// starts at byte of a record (a byte, or two bytes for widths above 8 bits
// or fields that cross a byte). The value is the stored number times scale
// plus bias: an aptitude stored as value + 7 has bias -7, an evasion stored
// in halves has scale 2. A field with a sign bit (sign >= 0, a bit of the
// same word) keeps sign and magnitude apart: the value is negated where the
// sign bit is set, and zero is written with the sign clear.
struct Field {
    int byte;
    int lo;
    int width;
    int bias = 0;
    int scale = 1;
    int sign = -1;

    constexpr int stored_max() const { return (1 << width) - 1; }
    constexpr long max() const { return static_cast<long>(stored_max()) * scale + bias; }
    constexpr long min() const { return sign >= 0 ? -max() : bias; }
    // Bytes of the record the field touches.
    constexpr int bytes() const { return ((sign > lo + width - 1 ? sign + 1 : lo + width) + 7) / 8; }

    constexpr int get(const unsigned char* record) const {
        const unsigned word = this->word(record);
        const int value = static_cast<int>((word >> lo) & static_cast<unsigned>(stored_max())) * scale + bias;
        return sign >= 0 && ((word >> sign) & 1) ? -value : value;
    }

    // True when value can be stored: within min..max and a multiple of
    // scale above min.
    constexpr bool holds(long value) const {
        const long magnitude = sign >= 0 && value < 0 ? -value : value;
        return value >= min() && value <= max() && (magnitude - bias) % scale == 0;
    }

    // Stores value (which the field must hold), keeping every other bit.
    constexpr void put(unsigned char* record, long value) const {
        const bool negative = sign >= 0 && value < 0;
        const unsigned stored = static_cast<unsigned>(((negative ? -value : value) - bias) / scale);
        unsigned mask = static_cast<unsigned>(stored_max()) << lo;
        unsigned bits = stored << lo;
        if (sign >= 0) {
            mask |= 1u << sign;
            bits |= static_cast<unsigned>(negative) << sign;
        }
        for (int i = 0; i < bytes(); ++i) {
            const unsigned keep = ~(mask >> (8 * i)) & 0xFF;
            const unsigned part = (bits >> (8 * i)) & (mask >> (8 * i)) & 0xFF;
            record[byte + i] = static_cast<unsigned char>((record[byte + i] & keep) | part);
        }
    }

    // The bits of the record's word that the field holds.
    constexpr unsigned mask() const {
        return (static_cast<unsigned>(stored_max()) << lo) | (sign >= 0 ? 1u << sign : 0u);
    }

private:
    constexpr unsigned word(const unsigned char* record) const {
        unsigned w = 0;
        for (int i = 0; i < bytes(); ++i) w |= static_cast<unsigned>(record[byte + i]) << (8 * i);
        return w;
    }
};

// A single flag bit.
constexpr Field flag_field(int byte, int bit) { return {byte, bit, 1}; }
// A whole byte and a whole little-endian word.
constexpr Field byte_field(int byte) { return {byte, 0, 8}; }
constexpr Field word_field(int byte) { return {byte, 0, 16}; }

}  // namespace common
