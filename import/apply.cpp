#include "import/apply.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <sstream>

#include "common/formations.h"
#include "common/gametext.h"
#include "common/learning.h"

namespace {

// The refusals of one run, up to the limit.
class Refusals {
public:
    explicit Refusals(std::vector<std::string>* out) : out_(out) {}
    void add(const std::string& text) {
        if (out_->size() < kRefusalLimit) {
            out_->push_back(text);
        } else if (out_->size() == kRefusalLimit) {
            out_->push_back("... and more refusals");
        }
    }

private:
    std::vector<std::string>* out_;
};

bool parse_number(const std::string& text, long long* n) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *n);
    return ec == std::errc() && ptr == end && !text.empty();
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

const Table* find_table(const std::vector<Table>& tables, const std::string& file, const Table** parent) {
    for (const Table& t : tables) {
        if (t.file == file) {
            *parent = nullptr;
            return &t;
        }
        for (const Table& c : t.children) {
            if (c.file == file) {
                *parent = &t;
                return &c;
            }
        }
    }
    return nullptr;
}

const Column* find_column(const Table& table, const std::string& key) {
    for (const Column& c : table.columns) {
        if (c.key == key) return &c;
    }
    return nullptr;
}

int rows_of(const std::vector<Table>& tables, const std::string& key) {
    for (const Table& t : tables) {
        if (t.key == key) return t.rows(-1);
    }
    return 0;
}

// One changed cell: where it is (parent is the parent row of a nested row,
// -1 for a top-level row; keys its key columns as text), its column and its
// new text.
struct Cell {
    const EditedTable& file;
    const EditedRow& row;
    const std::string& keys;
    const std::string& key;  // the column's key in the file
    int parent;
    int index;
    const Column& column;
    const std::string& text;

    std::string at() const { return file.file + ": " + row.where + " (" + keys + "): " + quoted(key); }
};

std::string range_text(long lo, long hi) { return std::to_string(lo) + ".." + std::to_string(hi); }

// The stored number of a cell, or a refusal.
bool cell_number(const Cell& cell, const StoredColumn& s, const std::vector<Table>& tables, long long* value,
                 std::string* why) {
    const Column& c = cell.column;
    if (c.kind == Value::kFlag) {
        if (cell.text != "true" && cell.text != "false") {
            *why = " = " + quoted(cell.text) + ": allowed true or false";
            return false;
        }
        *value = (cell.text == "true") != s.inverted;
        return true;
    }
    if (c.kind == Value::kLabels) {
        *value = 0;
        std::istringstream words(cell.text);
        for (std::string label; words >> label;) {
            size_t i = 0;
            while (i < c.allowed.size() && c.allowed[i] != label) ++i;
            if (i == c.allowed.size()) {
                std::string allowed;
                for (const std::string& a : c.allowed) allowed += " " + a;
                *why = ": unknown label " + quoted(label) + "; allowed:" + allowed;
                return false;
            }
            const int bit = s.order == BitOrder::kHighestFirst ? static_cast<int>(c.allowed.size() - 1 - i)
                                                               : static_cast<int>(i);
            *value |= 1LL << bit;
        }
        return true;
    }
    long long limit = s.limit >= 0 ? s.limit : s.field.max();
    if (!c.references.empty()) limit = std::min<long long>(limit, rows_of(tables, c.references) - 1);
    std::string range = range_text(s.field.min(), static_cast<long>(limit));
    if (s.field.scale > 1) range += " in steps of " + std::to_string(s.field.scale);
    if (c.none >= 0) range += " or " + std::to_string(c.none) + " (none)";
    const bool number = parse_number(cell.text, value);
    if (s.encode && number) return true;  // the encoder knows the range
    if (!number || !s.field.holds(*value) || (*value > limit && *value != c.none)) {
        *why = " = " + quoted(cell.text) + ": allowed " + range;
        return false;
    }
    return true;
}

template <typename T>
const T* lookup(const std::vector<T>& list, const std::string& table, const std::string& column) {
    for (const T& s : list) {
        if (table == s.table && column == s.column) return &s;
    }
    return nullptr;
}

const NameColumn* name_column(const ImportLayout& layout, const std::string& table) {
    for (const NameColumn& n : layout.names) {
        if (table == n.table) return &n;
    }
    return nullptr;
}

std::string hex(long offset) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", offset);
    return text;
}

// The bytes written so far, each with the cells that wrote which of its
// bits. Two changed cells may reach one stored place: rows of records that
// several monsters share (action patterns, drop table entries, encounter
// types, names that several characters carry). Such an edit changes every
// row that shares the place; it is accepted when all the changed cells that
// reach the place agree, and refused naming both cells when they do not.
class Claims {
public:
    // Claims the bits of mask in the byte at offset as set to bits by who;
    // false with other set to the cell that set any of them otherwise.
    bool claim(long offset, unsigned mask, unsigned bits, const std::string& who, std::string* other) {
        std::vector<Claim>& list = bytes_[offset];
        for (const Claim& c : list) {
            if ((c.mask & mask) && ((c.bits ^ bits) & c.mask & mask)) {
                *other = c.who;
                return false;
            }
        }
        list.push_back({mask, bits, who});
        return true;
    }

private:
    struct Claim {
        unsigned mask;
        unsigned bits;
        std::string who;
    };
    std::map<long, std::vector<Claim>> bytes_;
};

// What a run writes with: the image's tables, the layout, the ROM proper and
// what has been written and refused so far.
struct Writer {
    const std::vector<Table>& tables;
    const ImportLayout& layout;
    uint8_t* rom;
    size_t size;
    Refusals& refusals;
    Claims claims;
};

// Claims the bytes at offset..offset + new_bytes.size() - 1 (mask[i] of
// each) for cell; on a conflict the refusal names both cells.
bool claim_bytes(Writer& w, const Cell& cell, long offset, const std::vector<uint8_t>& bytes,
                 const std::vector<uint8_t>& masks) {
    const std::string who = cell.at() + " = " + quoted(cell.text);
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string other;
        if (!w.claims.claim(offset + static_cast<long>(i), masks[i], bytes[i] & masks[i], who, &other)) {
            w.refusals.add(who + ": stored in the same place as " + other +
                           " (a record that both rows share); give both the same value");
            return false;
        }
    }
    return true;
}

// The name of a table other than own that the game reads at one of the
// bytes offset..offset + count - 1, or null. A table read whole that holds
// all of own (the item records around the weapon records) is own as well.
const char* read_elsewhere(const Writer& w, const TableLayout* own, long offset, int count) {
    for (const ReadTable& r : w.layout.read) {
        const TableLayout& t = *r.table;
        const bool same = t.offset == own->offset && t.size() == own->size();
        if (same || (!r.reads && t.offset <= own->offset && t.end() >= own->end())) continue;
        for (long b = offset; b < offset + count; ++b) {
            if (b >= t.offset && b < t.end() && (!r.reads || r.reads(w.rom, w.size, b))) return t.name;
        }
    }
    return nullptr;
}

bool write_name(const Cell& cell, const NameColumn& n, Writer& w) {
    const TableLayout& names = *n.names;
    const int record = n.name_of ? n.name_of(cell.index) : cell.index;
    if (record < 0 || record >= names.count) {
        w.refusals.add(cell.at() + " = " + quoted(cell.text) +
                       ": the tools hold this name themselves; the image has no field for it");
        return false;
    }
    const NameField f = encode_name_field(cell.text, static_cast<size_t>(names.record_size), w.layout.chars);
    if (!f.ok) {
        const size_t length = f.length;
        w.refusals.add(cell.at() + " = " + quoted(cell.text) +
                       (length ? ": " + std::to_string(length) + " bytes of game text, the field holds " +
                                     std::to_string(names.record_size)
                               : ": the game has no code for the character at byte " + std::to_string(f.bad_char)));
        return false;
    }
    const long offset = names.record(record);
    if (offset < 0 || static_cast<size_t>(offset + names.record_size) > w.size) return false;
    if (!claim_bytes(w, cell, offset, f.codes, std::vector<uint8_t>(f.codes.size(), 0xFF))) return false;
    std::copy(f.codes.begin(), f.codes.end(), w.rom + offset);
    return true;
}

// The stored column of a cell and the rom offset of its record, or null.
const StoredColumn* stored_column(const Cell& cell, const Writer& w, long* offset) {
    for (const StoredColumn& s : w.layout.stored) {
        if (cell.file.table != s.table || cell.column.key != s.column) continue;
        if (s.record_of) {
            *offset = s.record_of(w.rom, w.size, cell.parent, cell.index);
            if (*offset >= 0) return &s;
        } else if (cell.index >= s.first && cell.index < s.first + s.records->count) {
            *offset = s.records->record(cell.index - s.first);
            return &s;
        }
    }
    return nullptr;
}

void refuse_unstored(const Cell& cell, Writer& w) {
    const std::string& key = cell.column.key;
    const ComputedColumn* c = lookup(w.layout.computed, cell.file.table, key);
    std::string instead = c && c->instead ? std::string("; change ") + quoted(c->instead) + " instead" : "";
    if (!c && key.size() > 5 && key.compare(key.size() - 5, 5, "_name") == 0) {
        instead = "; change " + quoted(key.substr(0, key.size() - 5)) + " instead";
    }
    const std::string why = c && c->why ? std::string(" (") + c->why + ")" : "";
    w.refusals.add(cell.at() + " is not a stored field that can be changed" + why + instead);
}

// Writes a number through an encoder: the bytes of the record it changes
// are the ones it writes.
bool write_encoded(const Cell& cell, const StoredColumn& s, long offset, long long value, Writer& w) {
    const long size = s.records->record_size;
    if (offset < 0 || static_cast<size_t>(offset + size) > w.size) return false;
    std::vector<uint8_t> record(w.rom + offset, w.rom + offset + size);
    long lo = 0, hi = 0;
    if (!s.encode(record.data(), cell.index, static_cast<long>(value), &lo, &hi)) {
        w.refusals.add(cell.at() + " = " + quoted(cell.text) + ": allowed " + range_text(lo, hi));
        return false;
    }
    std::vector<uint8_t> masks(record.size());
    for (size_t i = 0; i < record.size(); ++i) masks[i] = record[i] ^ w.rom[offset + static_cast<long>(i)];
    if (!claim_bytes(w, cell, offset, record, masks)) return false;
    std::copy(record.begin(), record.end(), w.rom + offset);
    return true;
}

// Writes one changed cell, or says why not; true when written.
bool write_cell(const Cell& cell, Writer& w) {
    const NameColumn* names = cell.column.key == "name" ? name_column(w.layout, cell.file.table) : nullptr;
    if (names) return write_name(cell, *names, w);
    long offset = -1;
    const StoredColumn* s = stored_column(cell, w, &offset);
    if (!s) {
        refuse_unstored(cell, w);
        return false;
    }
    long long value = 0;
    std::string why;
    if (!cell_number(cell, *s, w.tables, &value, &why)) {
        w.refusals.add(cell.at() + why);
        return false;
    }
    if (s->encode) return write_encoded(cell, *s, offset, value, w);
    const long at = offset + s->field.byte;
    const int count = s->field.bytes();
    if (offset < 0 || static_cast<size_t>(at + count) > w.size) return false;
    if (const char* other = read_elsewhere(w, s->records, at, count)) {
        w.refusals.add(cell.at() + " = " + quoted(cell.text) + ": the byte at rom offset " + hex(at) +
                       " is also read as the " + other + "; an edit there would change both, so it is not written");
        return false;
    }
    std::vector<uint8_t> bytes(w.rom + offset, w.rom + at + count), masks(bytes.size(), 0);
    s->field.put(bytes.data(), static_cast<long>(value));
    for (int i = 0; i < count; ++i) masks[static_cast<size_t>(s->field.byte + i)] = (s->field.mask() >> (8 * i)) & 0xFF;
    if (!claim_bytes(w, cell, offset, bytes, masks)) return false;
    s->field.put(w.rom + offset, static_cast<long>(value));
    return true;
}

// The columns of an edited file in the export's flat columns, null for a
// column the export does not have.
std::vector<const FlatColumn*> edited_columns(const EditedTable& edited, const std::vector<FlatColumn>& flat) {
    std::vector<const FlatColumn*> columns;
    for (const std::string& key : edited.columns) {
        const FlatColumn* found = nullptr;
        for (const FlatColumn& f : flat) {
            if (f.key == key) found = &f;
        }
        columns.push_back(found);
    }
    return columns;
}

int column_at(const EditedTable& edited, const std::string& key) {
    for (size_t i = 0; i < edited.columns.size(); ++i) {
        if (edited.columns[i] == key) return static_cast<int>(i);
    }
    return -1;
}

// Which row of a table an edited row is: its parent row and index, and its
// keys as text; false after a refusal naming what rows there are.
struct RowKeys {
    int parent = -1;
    int index = -1;
    std::string text;
};

bool parent_row(const EditedTable& edited, const EditedRow& row, const std::string& key, int count, int* found,
                Refusals& refusals) {
    const int at = column_at(edited, key);
    long long n = -1;
    if (at < 0 || !row.present[at] || !parse_number(row.cells[at], &n) || n < 0 || n >= count) {
        refusals.add(edited.file + ": " + row.where + ": no row with " + key + " " +
                     quoted(at < 0 || !row.present[at] ? "" : row.cells[at]) + "; the table has 0.." +
                     std::to_string(count - 1));
        return false;
    }
    *found = static_cast<int>(n);
    return true;
}

// A nested row is found among its parent row's rows by its row key columns
// (index, or pattern and slot, or position); rows cannot be added, as every
// list has the length the image gives it.
bool child_row(const EditedTable& edited, const EditedRow& row, const Table& table, RowKeys* keys,
               Refusals& refusals) {
    std::string wanted, ranges;
    std::vector<std::pair<const Column*, std::string>> key_cells;
    for (const std::string& k : table.row_key) {
        const int at = column_at(edited, k);
        const std::string text = at >= 0 && row.present[at] ? row.cells[at] : "";
        key_cells.push_back({find_column(table, k), text});
        wanted += ", " + k + " " + text;
    }
    const int n = table.rows(keys->parent);
    for (int i = 0; i < n; ++i) {
        bool all = true;
        for (const auto& [column, text] : key_cells) all = all && flat_text(column->value({keys->parent, i})) == text;
        if (all) {
            keys->index = i;
            keys->text += wanted;
            return true;
        }
    }
    for (const auto& [column, text] : key_cells) {
        long long lo = 0, hi = -1;
        for (int i = 0; i < n; ++i) {
            const long long v = column->value({keys->parent, i}).number;
            lo = i ? std::min(lo, v) : v;
            hi = i ? std::max(hi, v) : v;
        }
        ranges += (ranges.empty() ? " " : ", ") + column->key + " " + std::to_string(lo) + ".." + std::to_string(hi);
    }
    refusals.add(edited.file + ": " + row.where + ": no row with " + keys->text + wanted + "; " + keys->text +
                 (n ? " has" + ranges : " has no rows") + ", and rows cannot be added to it");
    return false;
}

bool find_row(const EditedTable& edited, const EditedRow& row, const Table& table, const Table* parent,
              RowKeys* keys, Refusals& refusals) {
    if (!parent) {
        if (!parent_row(edited, row, "index", table.rows(-1), &keys->index, refusals)) return false;
        keys->text = "index " + row.cells[column_at(edited, "index")];
        return true;
    }
    const std::string& key = table.parent_keys.front().second;
    if (!parent_row(edited, row, key, parent->rows(-1), &keys->parent, refusals)) return false;
    keys->text = key + " " + std::to_string(keys->parent);
    return child_row(edited, row, table, keys, refusals);
}

bool is_key(const Table& table, const Table* parent, const std::string& key) {
    if (!parent) return key == "index";
    return key == table.parent_keys.front().second ||
           std::find(table.row_key.begin(), table.row_key.end(), key) != table.row_key.end();
}

size_t apply_table(const EditedTable& edited, const Table& table, const Table* parent, Writer& w) {
    const std::vector<FlatColumn> flat = flat_columns(table, parent);
    const std::vector<const FlatColumn*> columns = edited_columns(edited, flat);
    size_t written = 0;
    for (const EditedRow& row : edited.rows) {
        RowKeys keys;
        if (!find_row(edited, row, table, parent, &keys, w.refusals)) continue;
        for (size_t i = 0; i < columns.size(); ++i) {
            const FlatColumn* f = columns[i];
            if (!f || !row.present[i] || is_key(table, parent, f->key)) continue;
            const Value now = f->column->value(f->from_parent ? Row{-1, keys.parent} : Row{keys.parent, keys.index});
            if (flat_text(now) == row.cells[i]) continue;
            const Cell cell{edited, row, keys.text, f->key, keys.parent, keys.index, *f->column, row.cells[i]};
            if (f->from_parent) {
                w.refusals.add(cell.at() + " comes from " + quoted(parent->file) + "; change it there");
            } else if (now.kind == Value::kNull) {
                w.refusals.add(cell.at() + " does not belong to this record; leave it empty");
            } else if (write_cell(cell, w)) {
                ++written;
            }
        }
    }
    return written;
}

}  // namespace

long learning_group_at(const uint8_t* rom, size_t size, long list1, long list2, int group) {
    for (long window : {list1, list2}) {
        if (window < 0 || static_cast<size_t>(window + kLearningWindowSize) > size) return -1;
        const int groups = parse_learning_window(rom + window, nullptr);
        if (group < groups) {
            int c = 0;
            for (int g = 0; g < group; ++g) c += 2 + 2 * rom[window + c + 1];
            return window + c;
        }
        group -= groups;
    }
    return -1;
}

void add_member_flag_columns(std::vector<StoredColumn>& s, const TableLayout* formations, RecordOf flags_at) {
    namespace f = member_flags;
    for (auto [key, field] : {std::pair{"front_defence", f::kFront}, {"rear_defence", f::kRear},
                              {"close_attack", f::kClose}, {"ranged_attack", f::kRanged},
                              {"magic_attack", f::kMagic}, {"speed", f::kSpeed}}) {
        s.push_back({"formation-members", key, formations, field, false, {}, 0, flags_at});
    }
}

bool learning_window_reads(const uint8_t* rom, size_t size, long window, long offset) {
    if (offset < window || window < 0 || static_cast<size_t>(window + kLearningWindowSize) > size) return false;
    const uint8_t* w = rom + window;
    int c = 0;
    while (c + 1 < kLearningWindowSize && w[c] != 0xFF) c += 2 + 2 * w[c + 1];
    const long read = c + 1 < kLearningWindowSize ? c + 1 : std::min(c, kLearningWindowSize);
    return offset < window + read;
}

size_t apply_edits(const std::vector<EditedTable>& edited, const std::vector<Table>& tables,
                   const ImportLayout& layout, uint8_t* rom, size_t size, std::vector<std::string>* refusals) {
    Refusals out(refusals);
    Writer w{tables, layout, rom, size, out, {}};
    size_t written = 0;
    for (const EditedTable& e : edited) {
        const Table* parent = nullptr;
        const Table* table = find_table(tables, e.table, &parent);
        if (table) written += apply_table(e, *table, parent, w);  // the readers accept only tables of the export
    }
    return written;
}
