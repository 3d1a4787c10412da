// A table of names read from the ROM image on first use.
#pragma once

#include "chartables.h"

// count name fields of field_length bytes of game text starting at a rom
// offset, converted into name slots all at once on the first lookup of an index
// in range and kept until the process ends.
class NameCache {
public:
    NameCache(long rom_offset, int count, int field_length, const CharTables& tables)
        : rom_offset_(rom_offset), count_(count), field_length_(field_length), tables_(tables) {}
    NameCache(const NameCache&) = delete;
    NameCache& operator=(const NameCache&) = delete;

    // The name of index, or "" for an index outside 0..count-1.
    const char* get(int index);

    int count() const { return count_; }

private:
    void fill();

    long rom_offset_;
    int count_;
    int field_length_;
    const CharTables& tables_;
    char* slots_ = nullptr;  // count_ slots of kNameSlotSize bytes, never released
};
