#include "import/apply.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <sstream>

#include "common/gametext.h"

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

// One changed cell: where it is, its column and its new text.
struct Cell {
    const EditedTable& file;
    const EditedRow& row;
    long long index;
    const Column& column;
    const std::string& text;

    std::string at() const {
        return file.file + ": " + row.where + " (index " + std::to_string(index) + "): " + quoted(column.key);
    }
};

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
    long long limit = s.field.max();
    if (!c.references.empty()) limit = std::min<long long>(limit, rows_of(tables, c.references) - 1);
    std::string range = std::to_string(s.field.min()) + ".." + std::to_string(limit);
    if (s.field.scale > 1) range += " in steps of " + std::to_string(s.field.scale);
    if (c.none >= 0) range += " or " + std::to_string(c.none) + " (none)";
    if (!parse_number(cell.text, value) || !s.field.holds(*value) || (*value > limit && *value != c.none)) {
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

const TableLayout* name_table(const ImportLayout& layout, const std::string& table) {
    for (const auto& [t, names] : layout.names) {
        if (table == t) return names;
    }
    return nullptr;
}

// Writes one changed cell, or says why not; true when written.
bool write_cell(const Cell& cell, const std::vector<Table>& tables, const ImportLayout& layout, uint8_t* rom,
                size_t size, Refusals& refusals) {
    const std::string& table = cell.file.table;
    const std::string& key = cell.column.key;
    const TableLayout* names = key == "name" ? name_table(layout, table) : nullptr;
    if (names) {
        const NameField f = encode_name_field(cell.text, static_cast<size_t>(names->record_size), layout.chars);
        if (!f.ok) {
            const size_t n = f.length ? f.length : 0;
            refusals.add(cell.at() + " = " + quoted(cell.text) +
                         (n ? ": " + std::to_string(n) + " bytes of game text, the field holds " +
                                  std::to_string(names->record_size)
                            : ": the game has no code for the character at byte " + std::to_string(f.bad_char)));
            return false;
        }
        if (static_cast<size_t>(names->record(static_cast<int>(cell.index)) + names->record_size) > size) return false;
        std::copy(f.codes.begin(), f.codes.end(), rom + names->record(static_cast<int>(cell.index)));
        return true;
    }
    const StoredColumn* s = nullptr;
    for (const StoredColumn& c : layout.stored) {
        if (table == c.table && key == c.column && cell.index >= c.first && cell.index < c.first + c.records->count) {
            s = &c;
        }
    }
    if (!s) {
        const ComputedColumn* c = lookup(layout.computed, table, key);
        std::string instead = c ? std::string("; change ") + quoted(c->instead) + " instead" : "";
        if (!c && key.size() > 5 && key.compare(key.size() - 5, 5, "_name") == 0) {
            instead = "; change " + quoted(key.substr(0, key.size() - 5)) + " instead";
        }
        refusals.add(cell.at() + " is not a stored field that can be changed" + instead);
        return false;
    }
    long long value = 0;
    std::string why;
    if (!cell_number(cell, *s, tables, &value, &why)) {
        refusals.add(cell.at() + why);
        return false;
    }
    const long offset = s->records->record(static_cast<int>(cell.index) - s->first);
    if (offset < 0 || static_cast<size_t>(offset + s->records->record_size) > size) return false;
    s->field.put(rom + offset, value);
    return true;
}

size_t apply_table(const EditedTable& edited, const Table& table, const std::vector<Table>& tables,
                   const ImportLayout& layout, uint8_t* rom, size_t size, Refusals& refusals) {
    std::vector<const Column*> columns;
    int index_at = -1;
    for (size_t i = 0; i < edited.columns.size(); ++i) {
        columns.push_back(find_column(table, edited.columns[i]));
        if (edited.columns[i] == "index") index_at = static_cast<int>(i);
    }
    const int count = table.rows(-1);
    size_t written = 0;
    for (const EditedRow& row : edited.rows) {
        long long index = -1;
        if (index_at < 0 || !row.present[index_at] || !parse_number(row.cells[index_at], &index) || index < 0 ||
            index >= count) {
            refusals.add(edited.file + ": " + row.where + ": no row with index " +
                         quoted(index_at < 0 ? "" : row.cells[index_at]) + "; the table has 0.." +
                         std::to_string(count - 1));
            continue;
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            if (!columns[i] || !row.present[i] || static_cast<int>(i) == index_at) continue;
            const Value now = columns[i]->value({-1, static_cast<int>(index)});
            if (flat_text(now) == row.cells[i]) continue;
            const Cell cell{edited, row, index, *columns[i], row.cells[i]};
            if (now.kind == Value::kNull) {
                refusals.add(cell.at() + " does not belong to this record; leave it empty");
            } else if (write_cell(cell, tables, layout, rom, size, refusals)) {
                ++written;
            }
        }
    }
    return written;
}

// Whether the edited row matches a current row in every cell it has.
bool row_matches(const EditedRow& row, const std::vector<std::string>& current) {
    for (size_t i = 0; i < current.size(); ++i) {
        if (row.present[i] && row.cells[i] != current[i]) return false;
    }
    return true;
}

// A child table (action patterns, learning entries, formation members,
// encounter rows): its rows are not written yet, so each edited row must be
// one of the image's rows as it is.
void check_child_rows(const EditedTable& edited, const Table& table, const Table& parent, Refusals& refusals) {
    std::vector<std::vector<std::string>> current;
    for_each_flat_row(table, &parent, [&](const std::vector<Value>& values) {
        current.emplace_back();
        for (const Value& v : values) current.back().push_back(flat_text(v));
    });
    const std::set<std::vector<std::string>> rows(current.begin(), current.end());
    for (const EditedRow& row : edited.rows) {
        const bool whole = std::find(row.present.begin(), row.present.end(), false) == row.present.end();
        const bool found = whole ? rows.count(row.cells) > 0
                                 : std::any_of(current.begin(), current.end(),
                                               [&](const auto& c) { return row_matches(row, c); });
        if (!found) {
            refusals.add(edited.file + ": " + row.where + ": a changed or new row of " + quoted(edited.table) +
                         ", whose rows this version cannot write yet");
        }
    }
}

}  // namespace

size_t apply_edits(const std::vector<EditedTable>& edited, const std::vector<Table>& tables,
                   const ImportLayout& layout, uint8_t* rom, size_t size, std::vector<std::string>* refusals) {
    Refusals out(refusals);
    size_t written = 0;
    for (const EditedTable& e : edited) {
        const Table* parent = nullptr;
        const Table* table = find_table(tables, e.table, &parent);
        if (!table) continue;  // the readers accept only tables of the export
        if (parent) {
            check_child_rows(e, *table, *parent, out);
        } else {
            written += apply_table(e, *table, tables, layout, rom, size, out);
        }
    }
    return written;
}
