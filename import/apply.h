// Edits written into the ROM proper: every cell of the edited tables is
// compared with the value the image gives; a changed cell of a stored field
// is encoded through the game's layout, every other change is refused in
// plain words, naming the file, the row, the key and what is allowed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/chartables.h"
#include "common/export_keys.h"
#include "common/layout.h"
#include "export/table.h"
#include "import/edited.h"

namespace importer {

using common::Encode;
using common::RecordOf;

// A name column: the name of row index is record name_of(index) of names
// (index itself without name_of; -1: a name that the tools hold, not the
// image).
struct NameColumn {
    const char* table;
    const common::TableLayout* names;
    int (*name_of)(int index) = nullptr;
};

// A table that the game reads, for the bytes it reads: all of it, or those
// for which reads is true (a list read through a window up to its end, the
// action patterns that monsters use). No edit changes a byte that a table
// other than its own reads.
struct ReadTable {
    const common::TableLayout* table;
    bool (*reads)(const uint8_t* rom, size_t size, long offset) = nullptr;
};

// What an import can write of a game.
struct ImportLayout {
    std::vector<common::StoredField> stored;
    std::vector<NameColumn> names;
    std::vector<common::ComputedField> computed;
    std::vector<ReadTable> read;
    const common::CharTables& chars;
};

// The rom offset of learning group group (numbered through list 1, then list
// 2) as the loader reads the two windows, or -1 for a group that is not there.
long learning_group_at(const uint8_t* rom, size_t size, long list1, long list2, int group);

constexpr size_t kRefusalLimit = 50;

// Writes the changed cells into rom (rom offset 0 at rom[0], size bytes) and
// returns how many fields it changed (a field that several rows write counts
// once); each refusal appends its message. refusals may hold the run's earlier refusals: at most kRefusalLimit are kept in all,
// and when there were more, a last line "... and N more refusals" counts the
// others (earlier ones among them).
//
// A cell is read as spreadsheets write it: a flag as true or false in any
// case, or 1 or 0; a number with blanks around it, a leading "+", digit
// groups ("50,000") or as a float with a zero fraction ("255.0", "1.5E+2").
//
// With source (the ROM proper of another image of the game, of size bytes),
// each changed cell of a stored field or a name is not encoded but copied:
// its bits as source holds them, at the place the field has in rom (a value
// computed from several fields is encoded still).
size_t apply_edits(const std::vector<EditedTable>& edited, const std::vector<exporter::Table>& tables,
                   const ImportLayout& layout, uint8_t* rom, size_t size, std::vector<std::string>* refusals,
                   const uint8_t* source = nullptr);

// Rows found through the image, as both games keep them.

// Slot row % 8 of the action pattern that monster uses as pattern row / 8
// (the monster record's pattern bytes give the pattern's number).
template <const common::TableLayout& Monsters, const common::Field (&PatternOf)[2], const common::TableLayout& Patterns>
long action_slot(const uint8_t* rom, size_t size, int monster, int row) {
    const long record = Monsters.record(monster);
    if (monster < 0 || monster >= Monsters.count || static_cast<size_t>(record + Monsters.record_size) > size) {
        return -1;
    }
    return Patterns.record(PatternOf[row / 8].get(rom + record)) + row % 8;
}

// A group of learning list List (its key and count bytes; parent -1: the
// group is index) or entry index of group parent there (its technique and
// difficulty bytes).
template <const common::TableLayout& List1, const common::TableLayout& List2, const common::TableLayout& List>
long learning_row(const uint8_t* rom, size_t size, int parent, int index) {
    const long group = learning_group_at(rom, size, List1.offset, List2.offset, parent < 0 ? index : parent);
    if (group < List.offset || group >= List.end()) return -1;
    return parent < 0 ? group : group + 2 + 2 * index;
}

// The stored columns of the learning lists: a group's key (255 would end the
// list) and its entries' techniques and difficulties.
template <const common::TableLayout& List1, const common::TableLayout& List2>
void add_learning_columns(std::vector<common::StoredField>& s) {
    for (const common::TableLayout* list : {&List1, &List2}) {
        const RecordOf row = list == &List1 ? learning_row<List1, List2, List1> : learning_row<List1, List2, List2>;
        s.push_back({"learning-lists", common::shared_keys::kGroupKey, list, common::byte_field(0), false, {}, 0, row, 254});
        s.push_back({"learning-entries", common::shared_keys::kTech, list, common::byte_field(0), false, {}, 0, row});
        s.push_back({"learning-entries", common::shared_keys::kDifficulty, list, common::byte_field(1), false, {}, 0, row});
    }
}

// Member index of formation parent: its record (rate) and its flag byte.
template <const common::TableLayout& Formations>
long formation_record(const uint8_t*, size_t, int parent, int) {
    return parent >= 0 && parent < Formations.count ? Formations.record(parent) : -1;
}
template <const common::TableLayout& Formations, long (*FlagByte)(int member)>
long member_flags_at(const uint8_t*, size_t, int parent, int index) {
    return parent >= 0 && parent < Formations.count ? Formations.record(parent) + FlagByte(index) : -1;
}

// The flag byte's columns of the formation members, found by flags_at.
void add_member_flag_columns(std::vector<common::StoredField>& s, const common::TableLayout* formations, RecordOf flags_at);

// Why a learning group's entry count is not written.
inline constexpr char kLearningCount[] =
    "the number of the group's entries; entries cannot be added or removed, as that would move the rest of the "
    "learning list";

// Whether the loader reads the byte at offset of the learning window that
// starts at window: the window is read up to the key byte that ends the list.
bool learning_window_reads(const uint8_t* rom, size_t size, long window, long offset);
template <const common::TableLayout& List>
bool learning_reads(const uint8_t* rom, size_t size, long offset) {
    return learning_window_reads(rom, size, List.offset, offset);
}

}  // namespace importer
