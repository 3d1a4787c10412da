// Loading ROM tables of fixed-size records into vectors of decoded records.
#pragma once

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "common/error.h"
#include "common/rom.h"

namespace common {

// Reads the tables in the order given: all of them, or the error of the
// first that the image does not hold whole.
template <size_t N>
common::Result<std::array<RomTable, N>> read_tables(const RomImage& image, const TableLayout (&tables)[N]) {
    std::vector<RomTable> read;
    read.reserve(N);
    for (const TableLayout& table : tables) {
        common::Result<RomTable> one = RomTable::read(image, table);
        if (!one) return one.error();
        read.push_back(*one);
    }
    return [&read]<size_t... I>(std::index_sequence<I...>) {
        return std::array<RomTable, N>{read[I]...};
    }(std::make_index_sequence<N>());
}

// count records, each decode(record, bytes, index) of the table's record of
// that index, in index order; records start zeroed.
template <typename Record, typename Decode>
std::vector<Record> decode_records(const RomTable& table, int count, Decode&& decode) {
    std::vector<Record> records(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) decode(records[static_cast<size_t>(i)], table.record(static_cast<size_t>(i)), i);
    return records;
}

// Reads the table (count records of record_size bytes at the rom offset) in
// one piece and decodes its records, or gives the image's error.
template <typename Record, typename Decode>
common::Result<std::vector<Record>> load_records(const RomImage& image, long rom_offset, size_t record_size,
                                                 int count, Decode&& decode) {
    const common::Result<RomTable> table = RomTable::read(image, rom_offset, record_size, static_cast<size_t>(count));
    if (!table) return table.error();
    return decode_records<Record>(*table, count, std::forward<Decode>(decode));
}

// The same for a table of the game's layout.
template <typename Record, typename Decode>
common::Result<std::vector<Record>> load_records(const RomImage& image, const TableLayout& table, Decode&& decode) {
    return load_records<Record>(image, table.offset, static_cast<size_t>(table.record_size), table.count,
                                std::forward<Decode>(decode));
}

// Moves a loaded value into its place, or the error into error; true when it
// was loaded. Lets a run load its tables in order and stop at the first error.
template <typename T>
bool take(common::Result<T>&& loaded, T& into, common::Error& error) {
    if (!loaded) {
        error = loaded.error();
        return false;
    }
    into = std::move(*loaded);
    return true;
}

}  // namespace common
