// The name tables of one image: game-text names read from the ROM image,
// converted on the first lookup of a table and kept for the run.
#pragma once

#include <memory>

#include "common/chartables.h"
#include "common/layout.h"
#include "common/rom.h"

namespace common {

// A name table of the game's layout (count name fields of record_size bytes
// of game text) in the game's character tables. slot numbers the game's
// tables 0..kNameSlots-1, one slot per table.
struct NameTableKind {
    int slot;
    TableLayout names;
    const CharTables* tables;
};

class NameTables {
public:
    static constexpr int kNameSlots = 8;

    explicit NameTables(const RomImage& image) : image_(&image) {}
    NameTables(const NameTables&) = delete;
    NameTables& operator=(const NameTables&) = delete;
    NameTables(NameTables&&) = default;
    NameTables& operator=(NameTables&&) = default;

    // The name of index in the table, or "" for an index outside
    // 0..count-1. The first lookup in range converts the whole table. A table
    // that the image does not hold whole reads as "" throughout; the loaders
    // of a run read past every name table of their game first, so that a run
    // that loaded never meets one.
    const char* get(const NameTableKind& kind, int index) const;

private:
    const RomImage* image_;
    mutable std::unique_ptr<char[]> slots_[kNameSlots];  // count converted names each, in slots of equal size
};

// A name lookup of the reports (monster_name, tech_name, ...) bound to the
// name tables of a run, or a lookup of fixed names (guardian stars, encounter
// groups): the name of an index, "" for an index out of range.
class NameLookup {
public:
    using Function = const char* (*)(const NameTables&, int);
    using FixedFunction = const char* (*)(int);
    NameLookup(const NameTables& names, Function name) : names_(&names), name_(name) {}
    NameLookup(FixedFunction name) : fixed_(name) {}  // NOLINT: converts like the function it wraps
    const char* operator()(int index) const { return fixed_ ? fixed_(index) : name_(*names_, index); }

private:
    const NameTables* names_ = nullptr;
    Function name_ = nullptr;
    FixedFunction fixed_ = nullptr;
};

}  // namespace common
