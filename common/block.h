// Blocks of decoded records and raw ROM tables.
#pragma once

#include <cstddef>
#include <cstdlib>

#include "diag.h"
#include "rom.h"

// Allocates a zero-filled block of count records; ends the process when memory
// runs out. Released with free().
template <typename T>
T* alloc_block(size_t count) {
    void* p = calloc(count ? count : 1, sizeof(T));
    if (!p) fatal("Fatal error in malloc()");
    return static_cast<T*>(p);
}

// A ROM table of count records of record_size bytes, read in one piece.
class RomTable {
public:
    RomTable(long rom_offset, size_t record_size, size_t count)
        : record_size_(record_size), data_(alloc_block<unsigned char>(record_size * count)) {
        rom_read(data_, rom_offset, record_size * count);
    }
    ~RomTable() { free(data_); }
    RomTable(const RomTable&) = delete;
    RomTable& operator=(const RomTable&) = delete;

    const unsigned char* record(size_t index) const { return data_ + index * record_size_; }

private:
    size_t record_size_;
    unsigned char* data_;
};
