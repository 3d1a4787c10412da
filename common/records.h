// Loading a ROM table of fixed-size records into a block of decoded records.
#pragma once

#include <cstddef>
#include <utility>

#include "common/block.h"
#include "common/rom.h"

// Reads the table (count records of record_size bytes at the rom offset) in
// one piece, allocates a block of count records and calls
// decode(record, bytes, index) for each record in index order.
template <typename Record, typename Decode>
Record* load_records(const RomImage& image, long rom_offset, size_t record_size, int count, Decode&& decode) {
    const RomTable table(image, rom_offset, record_size, static_cast<size_t>(count));
    Record* block = alloc_block<Record>(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) decode(block[i], table.record(static_cast<size_t>(i)), i);
    return block;
}

// The same for a table of the game's layout.
template <typename Record, typename Decode>
Record* load_records(const RomImage& image, const TableLayout& table, Decode&& decode) {
    return load_records<Record>(image, table.offset, static_cast<size_t>(table.record_size), table.count,
                                std::forward<Decode>(decode));
}
