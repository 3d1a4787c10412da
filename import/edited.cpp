#include "import/edited.h"

#include <nlohmann/json.hpp>

#include "common/files.h"

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool all_empty(const std::vector<std::string>& fields) {
    for (const std::string& f : fields) {
        if (!f.empty()) return false;
    }
    return true;
}

// The CSV scanner's state between characters.
struct CsvScan {
    std::vector<CsvRecord>* records;
    CsvRecord record{1, {}};
    std::string field;
    int line = 1;

    void end_field() {
        record.fields.push_back(std::move(field));
        field.clear();
    }
    void end_record() {
        end_field();
        if (!all_empty(record.fields)) records->push_back(std::move(record));
        record = {line, {}};
    }
};

const Table* table_by_file(const std::vector<Table>& tables, const std::string& file, const Table** parent) {
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

std::vector<std::string> flat_keys(const Table& table, const Table* parent) {
    std::vector<std::string> keys;
    for (const FlatColumn& f : flat_columns(table, parent)) keys.push_back(f.key);
    return keys;
}

using Json = nlohmann::json;

// A JSON value as the CSV files write it; false for a value no export holds.
bool json_cell(const Json& v, std::string* cell) {
    if (v.is_null()) {
        cell->clear();
    } else if (v.is_boolean()) {
        *cell = v.get<bool>() ? "true" : "false";
    } else if (v.is_number_integer()) {
        *cell = v.dump();
    } else if (v.is_string()) {
        *cell = v.get<std::string>();
    } else if (v.is_array()) {
        cell->clear();
        for (const Json& label : v) {
            if (!label.is_string()) return false;
            if (!cell->empty()) *cell += ' ';
            *cell += label.get<std::string>();
        }
    } else {
        return false;  // a fraction or an object
    }
    return true;
}

// Cells of a JSON row object: first those that come from the parent row
// (parent_cells), then the table's own keys.
bool json_row(const Json& object, const Table& table, const EditedRow& parent_cells, EditedRow* row,
              std::string* error) {
    *row = parent_cells;
    for (const Column& c : table.columns) {
        auto it = object.find(c.key);
        row->cells.emplace_back();
        row->present.push_back(it != object.end());
        if (it != object.end() && !json_cell(*it, &row->cells.back())) {
            *error = row->where + ": the value of \"" + c.key + "\" is no value of the export";
            return false;
        }
    }
    return true;
}

bool json_table(const std::string& path, const Json& rows, const Table& table, const Table* parent,
                const std::string& where, const EditedRow& parent_cells, std::vector<EditedTable>* out,
                std::string* error);

// Adds the rows of each child array of a parent row to the child's table.
bool json_children(const std::string& path, const Json& object, const Table& table, const EditedRow& row,
                   std::vector<EditedTable>* out, std::string* error) {
    for (const Table& child : table.children) {
        auto it = object.find(child.key);
        if (it == object.end()) continue;
        EditedRow keys{row.where, {}, {}};
        for (const auto& [parent_key, key] : child.parent_keys) {
            for (size_t i = 0; i < table.columns.size(); ++i) {
                if (table.columns[i].key != parent_key) continue;
                keys.cells.push_back(row.cells[row.cells.size() - table.columns.size() + i]);
                keys.present.push_back(row.present[row.present.size() - table.columns.size() + i]);
            }
        }
        if (!json_table(path, *it, child, &table, row.where + "." + child.key, keys, out, error)) return false;
    }
    return true;
}

EditedTable& table_of(std::vector<EditedTable>* out, const std::string& path, const Table& table,
                      const Table* parent) {
    for (EditedTable& t : *out) {
        if (t.table == table.file) return t;
    }
    out->push_back({path, table.file, flat_keys(table, parent), {}, {}});
    return out->back();
}

bool json_table(const std::string& path, const Json& rows, const Table& table, const Table* parent,
                const std::string& where, const EditedRow& parent_cells, std::vector<EditedTable>* out,
                std::string* error) {
    if (!rows.is_array()) {
        *error = where + " is no list of rows";
        return false;
    }
    table_of(out, path, table, parent);
    for (size_t i = 0; i < rows.size(); ++i) {
        EditedRow row;
        const EditedRow cells{where + "[" + std::to_string(i) + "]", parent_cells.cells, parent_cells.present};
        if (!rows[i].is_object()) {
            *error = cells.where + " is no row";
            return false;
        }
        if (!json_row(rows[i], table, cells, &row, error)) return false;
        if (!json_children(path, rows[i], table, row, out, error)) return false;
        table_of(out, path, table, parent).rows.push_back(std::move(row));
    }
    return true;
}

// A member's text, or "" where it is absent or not a string (a document
// edited by hand may hold any value there).
std::string text_member(const Json& object, const char* key) {
    const auto at = object.find(key);
    return at != object.end() && at->is_string() ? at->get<std::string>() : std::string();
}

}  // namespace

bool parse_csv(const std::string& text, std::vector<CsvRecord>* records, std::string* error) {
    size_t i = text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    CsvScan scan{records, {1, {}}, {}, 1};
    while (i < text.size()) {
        const char c = text[i++];
        if (c == '"' && scan.field.empty()) {
            const int opened = scan.line;
            for (;;) {
                if (i >= text.size()) {
                    *error = "line " + std::to_string(opened) + ": a quote is never closed";
                    return false;
                }
                const char q = text[i++];
                if (q == '"' && i < text.size() && text[i] == '"') {
                    scan.field += '"';
                    ++i;
                } else if (q == '"') {
                    break;
                } else {
                    if (q == '\n') ++scan.line;
                    scan.field += q;
                }
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                *error = "line " + std::to_string(scan.line) + ": text after a closing quote";
                return false;
            }
        } else if (c == ',') {
            scan.end_field();
        } else if (c == '\n' || (c == '\r' && i < text.size() && text[i] == '\n')) {
            if (c == '\r') ++i;
            ++scan.line;
            scan.end_record();
        } else {
            scan.field += c;
        }
    }
    if (!scan.field.empty() || !scan.record.fields.empty()) scan.end_record();
    return true;
}

bool read_csv_table(const std::string& path, const std::string& text, const std::string& prefix,
                    const std::vector<Table>& tables, EditedTable* out, std::string* error) {
    const std::string name = base_name(path);
    const std::string head = prefix + "-", tail = ".csv";
    const Table* parent = nullptr;
    const Table* table = nullptr;
    if (name.size() > head.size() + tail.size() && name.compare(0, head.size(), head) == 0 &&
        name.compare(name.size() - tail.size(), tail.size(), tail) == 0) {
        table = table_by_file(tables, name.substr(head.size(), name.size() - head.size() - tail.size()), &parent);
    }
    if (!table) {
        *error = "no table of the export is called so (" + prefix + "-<table>.csv)";
        return false;
    }
    std::vector<CsvRecord> records;
    if (!parse_csv(text, &records, error)) return false;
    if (records.empty()) {
        *error = "no header line";
        return false;
    }
    const std::vector<std::string> keys = flat_keys(*table, parent);
    std::vector<int> position;  // of each header column in keys
    for (const std::string& column : records[0].fields) {
        int found = -1;
        for (size_t k = 0; k < keys.size(); ++k) {
            if (keys[k] == column) found = static_cast<int>(k);
        }
        if (found < 0 && !column.empty()) {
            *error = "the header names a column the table has not: \"" + column + "\"";
            return false;
        }
        position.push_back(found);
    }
    *out = {path, table->file, keys, std::vector<std::string>(keys.size()), {}};
    for (size_t f = 0; f < position.size(); ++f) {
        if (position[f] >= 0) out->spelled[position[f]] = records[0].fields[f];
    }
    for (size_t r = 1; r < records.size(); ++r) {
        EditedRow row{"row " + std::to_string(records[r].line), std::vector<std::string>(keys.size()),
                      std::vector<bool>(keys.size(), false)};
        for (size_t f = 0; f < records[r].fields.size() && f < position.size(); ++f) {
            if (position[f] < 0) continue;
            row.cells[position[f]] = records[r].fields[f];
            row.present[position[f]] = true;
        }
        out->rows.push_back(std::move(row));
    }
    return true;
}

bool read_json_tables(const std::string& path, const std::string& text, const char* game,
                      const std::vector<Table>& tables, std::vector<EditedTable>* out, std::string* rom_crc32,
                      std::string* error) {
    const Json doc = Json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object() || text_member(doc, "format") != "meridian-tools-export") {
        *error = "not an export document";
        return false;
    }
    if (text_member(doc, "game") != game) {
        *error = std::string("not an export of game ") + game;
        return false;
    }
    const auto rom = doc.find("rom");
    *rom_crc32 = rom != doc.end() && rom->is_object() ? text_member(*rom, "crc32") : "";
    const auto data = doc.find("tables");
    if (data == doc.end() || !data->is_object()) {
        *error = "no \"tables\"";
        return false;
    }
    for (const auto& [key, rows] : data->items()) {
        const Table* table = nullptr;
        for (const Table& t : tables) {
            if (t.key == key) table = &t;
        }
        if (!table) {
            *error = "no table of the export is called \"" + key + "\"";
            return false;
        }
        if (!json_table(path, rows, *table, nullptr, key, EditedRow{}, out, error)) return false;
    }
    return true;
}
