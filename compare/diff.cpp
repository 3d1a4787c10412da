#include "compare/diff.h"

#include <algorithm>
#include <cstring>

namespace compare {

using exporter::Column;
using exporter::Row;
using exporter::Table;

namespace {

const std::string kNull = "null";

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

int find_key(const std::vector<std::string>& keys, const std::string& key) {
    const auto it = std::find(keys.begin(), keys.end(), key);
    return it == keys.end() ? -1 : static_cast<int>(it - keys.begin());
}

int name_key_of(const std::vector<std::string>& keys) {
    const int name = find_key(keys, "name");
    if (name >= 0) return name;
    for (size_t k = 0; k < keys.size(); ++k) {
        if (ends_with(keys[k], "_name")) return static_cast<int>(k);
    }
    return -1;
}

void add_rows(TableCells& cells, const Table& table, const Row& row) {
    cells.rows.push_back(row);
    for (const Column& c : table.columns) cells.cells.push_back(json_text(c.value(row)));
}

void snapshot_table(Snapshot& snapshot, const Table& table, const std::string& path, int parent) {
    const size_t at = snapshot.size();
    snapshot.push_back({});
    TableCells& cells = snapshot.back();
    cells.path = path;
    cells.parent_table = parent;
    for (const Column& c : table.columns) cells.keys.push_back(c.key);
    cells.name_key = name_key_of(cells.keys);
    if (parent < 0) {
        for (int i = 0, n = table.rows(-1); i < n; ++i) add_rows(cells, table, {-1, i});
    } else {
        for (const Row& p : std::vector<Row>(snapshot[static_cast<size_t>(parent)].rows)) {
            for (int i = 0, n = table.rows(p.index); i < n; ++i) add_rows(snapshot[at], table, {p.index, i});
        }
    }
    for (const Table& child : table.children) {
        snapshot_table(snapshot, child, path + "." + child.key, static_cast<int>(at));
    }
}

bool row_before(const Row& a, const Row& b) { return a.parent != b.parent ? a.parent < b.parent : a.index < b.index; }

// The cell of a row that may be missing (-1).
const std::string& cell_or_null(const TableCells& t, long row, size_t key) {
    return row < 0 ? kNull : t.cell(static_cast<size_t>(row), key);
}

// The name of a record as the JSON text of its naming cell, "null" if none.
const std::string& record_name(const TableCells& t, long row) {
    return t.name_key < 0 ? kNull : cell_or_null(t, row, static_cast<size_t>(t.name_key));
}

// The parent's row of a nested row: top-level rows are their own indexes.
const std::string& parent_name(const Snapshot& s, const TableCells& t, const Row& row) {
    if (t.parent_table < 0) return kNull;
    const TableCells& parent = s[static_cast<size_t>(t.parent_table)];
    for (size_t r = 0; r < parent.rows.size(); ++r) {
        if (parent.rows[r].index == row.parent) return record_name(parent, static_cast<long>(r));
    }
    return kNull;
}

RecordChange compare_rows(const TableCells& a, long ra, const TableCells& b, long rb) {
    RecordChange record;
    record.row = rb >= 0 ? b.rows[static_cast<size_t>(rb)] : a.rows[static_cast<size_t>(ra)];
    record.old_name = record_name(a, ra);
    record.new_name = record_name(b, rb);
    record.added = ra < 0;
    record.removed = rb < 0;
    for (size_t k = 0; k < a.keys.size(); ++k) {
        const std::string& key = a.keys[k];
        const int named = find_key(a.keys, key + "_name");
        const bool reference_name = ends_with(key, "_name") && find_key(a.keys, key.substr(0, key.size() - 5)) >= 0;
        if (reference_name) continue;
        const std::string& was = cell_or_null(a, ra, k);
        const std::string& is = cell_or_null(b, rb, k);
        if (was == is) continue;
        Change change{key, was, is, named >= 0, "", ""};
        if (change.reference) {
            change.old_name = cell_or_null(a, ra, static_cast<size_t>(named));
            change.new_name = cell_or_null(b, rb, static_cast<size_t>(named));
        }
        record.changes.push_back(std::move(change));
    }
    record.name_only = !record.added && !record.removed && record.changes.size() == 1 && a.name_key >= 0 &&
                       record.changes[0].key == a.keys[static_cast<size_t>(a.name_key)];
    return record;
}

// The records of one table pair, matched by (parent, index).
void compare_table(const Snapshot& olds, const Snapshot& news, size_t t, std::vector<RecordChange>& out) {
    const TableCells& a = olds[t];
    const TableCells& b = news[t];
    size_t i = 0, j = 0;
    while (i < a.rows.size() || j < b.rows.size()) {
        const bool take_a = i < a.rows.size() && (j == b.rows.size() || !row_before(b.rows[j], a.rows[i]));
        const bool take_b = j < b.rows.size() && (i == a.rows.size() || !row_before(a.rows[i], b.rows[j]));
        RecordChange record = compare_rows(a, take_a ? static_cast<long>(i) : -1, b, take_b ? static_cast<long>(j) : -1);
        i += take_a;
        j += take_b;
        if (record.changes.empty() && !record.added && !record.removed) continue;
        record.table = t;
        record.parent_name = parent_name(record.removed ? olds : news, record.removed ? a : b, record.row);
        out.push_back(std::move(record));
    }
}

}  // namespace

Snapshot take_snapshot(const std::vector<Table>& tables) {
    Snapshot snapshot;
    for (const Table& table : tables) snapshot_table(snapshot, table, table.key, -1);
    return snapshot;
}

std::vector<RecordChange> compare_snapshots(const Snapshot& old_tables, const Snapshot& new_tables) {
    std::vector<RecordChange> out;
    const size_t n = std::min(old_tables.size(), new_tables.size());
    for (size_t t = 0; t < n; ++t) compare_table(old_tables, new_tables, t, out);
    return out;
}

// A record as the text names it: table, index and name; a nested record by
// its parent's index and name, then its own index.
std::string record_label(const Snapshot& tables, const RecordChange& r) {
    const TableCells& t = tables[r.table];
    auto named = [](const std::string& name) { return name == "null" ? std::string() : " " + name; };
    std::string label;
    if (t.parent_table >= 0) {
        label = tables[static_cast<size_t>(t.parent_table)].path + " " + std::to_string(r.row.parent) +
                named(r.parent_name) + ", " + t.path.substr(t.path.rfind('.') + 1) + " ";
    } else {
        label = t.path + " ";
    }
    label += std::to_string(r.row.index);
    if (r.old_name != r.new_name && !r.added && !r.removed) return label + named(r.old_name) + " →" + named(r.new_name);
    return label + named(r.removed ? r.old_name : r.new_name);
}

std::string change_text(const Change& c) {
    auto side = [&c](const std::string& value, const std::string& name) {
        return c.reference && name != "null" ? value + " " + name : value;
    };
    return "  " + c.key + ": " + side(c.old_value, c.old_name) + " → " + side(c.new_value, c.new_name) + "\n";
}

namespace {

// Adds the differing bytes of [from, to) to the ranges, merging neighbours.
void add_differences(ByteSpan a, ByteSpan b, size_t from, size_t to, std::vector<ByteRange>& ranges) {
    const size_t common = std::min({a.size(), b.size(), to});
    for (size_t pos = from; pos < to; ++pos) {
        if (pos < common) {
            // Equal stretches are skipped a block at a time.
            const size_t block = std::min<size_t>(common - pos, 64);
            if (memcmp(a.data() + pos, b.data() + pos, block) == 0) {
                pos += block - 1;
                continue;
            }
            if (a[pos] == b[pos]) continue;
        }
        if (!ranges.empty() && ranges.back().offset + ranges.back().length == pos) {
            ++ranges.back().length;
        } else {
            ranges.push_back({pos, 1});
        }
    }
}

}  // namespace

std::vector<ByteRange> unmapped_changes(ByteSpan old_rom, ByteSpan new_rom, std::span<const common::TableLayout> regions) {
    std::vector<common::TableLayout> sorted(regions.begin(), regions.end());
    std::sort(sorted.begin(), sorted.end(), [](const common::TableLayout& x, const common::TableLayout& y) { return x.offset < y.offset; });
    const size_t end = std::max(old_rom.size(), new_rom.size());
    std::vector<ByteRange> ranges;
    size_t pos = 0;  // the first byte not yet looked at
    for (const common::TableLayout& r : sorted) {
        const size_t start = std::min(static_cast<size_t>(r.offset), end);
        if (start > pos) add_differences(old_rom, new_rom, pos, start, ranges);
        pos = std::max(pos, std::min(static_cast<size_t>(r.end()), end));
    }
    add_differences(old_rom, new_rom, pos, end, ranges);
    return ranges;
}

}  // namespace compare
