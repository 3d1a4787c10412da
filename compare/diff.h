// The decoded tables of one image, held as the JSON texts of their cells, and
// what differs between two of them: cells of the same table, record and key,
// and bytes outside every table region.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/layout.h"
#include "compare/patch.h"
#include "export/table.h"

namespace compare {

// Every cell of one table (a nested table's rows of every parent record, in
// parent order).
struct TableCells {
    std::string path;  // "monsters", nested "monsters.actions"
    int parent_table = -1;  // position of the parent table in the snapshot
    std::vector<std::string> keys;
    std::vector<exporter::Row> rows;
    std::vector<std::string> cells;  // rows.size() x keys.size(), as JSON texts
    int name_key = -1;  // the key that names a record: "name", else the first "*_name"

    const std::string& cell(size_t row, size_t key) const { return cells[row * keys.size() + key]; }
};
using Snapshot = std::vector<TableCells>;

// Evaluates every cell of the tables (and of their nested tables, each after
// its parent), while their image is open.
Snapshot take_snapshot(const std::vector<exporter::Table>& tables);

// One changed key of a record. A reference (key with its key_name) changes
// with its index; its name alone changes only when the referenced record is
// renamed, which that record's own change shows.
struct Change {
    std::string key;
    std::string old_value, new_value;  // JSON texts; "null" where the record is missing
    bool reference = false;
    std::string old_name, new_name;  // a reference's names (JSON texts)
};

struct RecordChange {
    size_t table;  // position in the snapshot
    exporter::Row row;
    std::string old_name, new_name;  // JSON texts of the record's names ("null" if none)
    std::string parent_name;         // nested records: the parent record's name
    bool added = false, removed = false;
    std::vector<Change> changes;     // in key order
    bool name_only = false;          // the one change is the record's name
};

// The changed records, in table order, then row order, then key order. Both
// snapshots come from the same table descriptions.
std::vector<RecordChange> compare_snapshots(const Snapshot& old_tables, const Snapshot& new_tables);

// A changed record as the comparison's text names it: table, index and
// name; a nested record by its parent's index and name, then its own index.
std::string record_label(const Snapshot& tables, const RecordChange& r);

// One changed key as the comparison's text shows it: "  key: old → new\n",
// a reference with the names of the records it points to.
std::string change_text(const Change& c);

struct ByteRange {
    size_t offset;  // in the ROM proper
    size_t length;
};

// The merged ranges of bytes that differ between two ROMs outside every table
// region (a byte that only one of them has differs).
std::vector<ByteRange> unmapped_changes(ByteSpan old_rom, ByteSpan new_rom, std::span<const common::TableLayout> regions);

}  // namespace compare
