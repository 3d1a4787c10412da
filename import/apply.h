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
#include "common/layout.h"
#include "export/table.h"
#include "import/edited.h"

// A stored column: the field of record row.index - first of a ROM table, for
// the rows first..first + count - 1 (a column of one item kind has a table
// of its own). Flags may be stored inverted; labels are the bits of the field
// in the column's order.
struct StoredColumn {
    const char* table;   // the CSV file part ("monsters")
    const char* column;  // the key
    const TableLayout* records;
    Field field;
    bool inverted = false;
    BitOrder order = BitOrder::kHighestFirst;
    int first = 0;
};

// A computed column and the stored column to change instead.
struct ComputedColumn {
    const char* table;
    const char* column;
    const char* instead;
};

// What an import can write of a game.
struct ImportLayout {
    std::vector<StoredColumn> stored;
    std::vector<std::pair<const char*, const TableLayout*>> names;  // table, its name field table
    std::vector<ComputedColumn> computed;
    const CharTables& chars;
};

constexpr size_t kRefusalLimit = 50;

// Writes the changed cells into rom (rom offset 0 at rom[0], size bytes) and
// returns how many it wrote; each refusal appends its message (at most
// kRefusalLimit, the last saying that there are more).
size_t apply_edits(const std::vector<EditedTable>& edited, const std::vector<Table>& tables,
                   const ImportLayout& layout, uint8_t* rom, size_t size, std::vector<std::string>* refusals);
