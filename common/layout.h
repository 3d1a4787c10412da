// Where a game keeps its data: every ROM table (rom offset, record size,
// record count) and every stored field of a record (byte, bits, how the value
// is packed). The loaders decode through these fields, the importers encode
// through them, and the tests, the fuzz target and the demo generator take
// their table regions from the same lists.
#pragma once

#include <cstddef>
#include <cstdint>

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
// in halves has scale 2.
struct Field {
    int byte;
    int lo;
    int width;
    int bias = 0;
    int scale = 1;

    constexpr int stored_max() const { return (1 << width) - 1; }
    constexpr long min() const { return bias; }
    constexpr long max() const { return static_cast<long>(stored_max()) * scale + bias; }
    // Bytes of the record the field touches.
    constexpr int bytes() const { return (lo + width + 7) / 8; }

    constexpr int get(const unsigned char* record) const {
        unsigned word = 0;
        for (int i = 0; i < bytes(); ++i) word |= static_cast<unsigned>(record[byte + i]) << (8 * i);
        return static_cast<int>((word >> lo) & static_cast<unsigned>(stored_max())) * scale + bias;
    }

    // True when value can be stored: within min..max and a multiple of
    // scale above min.
    constexpr bool holds(long value) const { return value >= min() && value <= max() && (value - bias) % scale == 0; }

    // Stores value (which the field must hold), keeping every other bit.
    constexpr void put(unsigned char* record, long value) const {
        const unsigned stored = static_cast<unsigned>((value - bias) / scale);
        const unsigned mask = static_cast<unsigned>(stored_max()) << lo;
        for (int i = 0; i < bytes(); ++i) {
            const unsigned keep = ~(mask >> (8 * i)) & 0xFF;
            const unsigned bits = ((stored << lo) >> (8 * i)) & (mask >> (8 * i)) & 0xFF;
            record[byte + i] = static_cast<unsigned char>((record[byte + i] & keep) | bits);
        }
    }
};

// A single flag bit.
constexpr Field flag_field(int byte, int bit) { return {byte, bit, 1}; }
// A whole byte and a whole little-endian word.
constexpr Field byte_field(int byte) { return {byte, 0, 8}; }
constexpr Field word_field(int byte) { return {byte, 0, 16}; }
