// A table of names read from the ROM image on first use.
#pragma once

#include "common/chartables.h"
#include "common/layout.h"

// count name fields of field_length bytes of game text starting at a rom
// offset, converted into name slots all at once on the first lookup of an index
// in range and kept until the process ends.
class NameCache {
public:
    NameCache(long rom_offset, int count, int field_length, const CharTables& tables);
    NameCache(const TableLayout& names, const CharTables& tables)
        : NameCache(names.offset, names.count, names.record_size, tables) {}
    NameCache(const NameCache&) = delete;
    NameCache& operator=(const NameCache&) = delete;

    // The name of index, or "" for an index outside 0..count-1.
    const char* get(int index);

    // Empties every name cache of the process, so that the next lookups read
    // the image that is open then (for tests and fuzzing, which open many
    // images in one process).
    static void reset_all();

private:
    void fill();

    long rom_offset_;
    int count_;
    int field_length_;
    const CharTables& tables_;
    char* slots_ = nullptr;  // count_ slots of kNameSlotSize bytes, never released
    NameCache* next_ = nullptr;  // all caches of the process, for reset_all
};
