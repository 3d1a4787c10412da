// Blocks of decoded records and raw ROM tables.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

#include "common/diag.h"
#include "common/layout.h"
#include "common/rom.h"

// Allocates a zero-filled block of count records; ends the process when memory
// runs out. Released with free().
template <typename T>
T* alloc_block(size_t count) {
    void* p = calloc(count ? count : 1, sizeof(T));
    if (!p) fatal("Fatal error in malloc()");
    return static_cast<T*>(p);
}

// Releases with free() what alloc_block allocated.
struct FreeDeleter {
    void operator()(void* p) const { free(p); }
};
template <typename T>
using BlockPtr = std::unique_ptr<T, FreeDeleter>;

// A ROM table of count records of record_size bytes, read in one piece.
class RomTable {
public:
    RomTable(long rom_offset, size_t record_size, size_t count)
        : record_size_(record_size), data_(alloc_block<unsigned char>(record_size * count)) {
        rom_read(data_.get(), rom_offset, record_size * count);
    }
    explicit RomTable(const TableLayout& table)
        : RomTable(table.offset, static_cast<size_t>(table.record_size), static_cast<size_t>(table.count)) {}

    const unsigned char* record(size_t index) const { return data_.get() + index * record_size_; }

private:
    size_t record_size_;
    BlockPtr<unsigned char> data_;  // released also when a fatal hook throws from rom_read
};
