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

// The flag byte's columns of the formation members, found by flags_at.
void add_member_flag_columns(std::vector<common::StoredField>& s, const common::TableLayout* formations, RecordOf flags_at);

// Why a learning group's entry count is not written.
inline constexpr char kLearningCount[] =
    "the number of the group's entries; entries cannot be added or removed, as that would move the rest of the "
    "learning list";

// Whether the loader reads the byte at offset of the learning window that
// starts at window: the window is read up to the key byte that ends the list.
bool learning_window_reads(const uint8_t* rom, size_t size, long window, long offset);

}  // namespace importer
