#include "import/edited.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "common/files.h"
#include "common/text_encoding.h"

namespace importer {

using exporter::Table;

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr size_t kQuoteLimit = 60;  // characters of a cell quoted in a message

bool starts_with(const std::string& text, const char* head) { return text.rfind(head, 0) == 0; }

// The byte at offset of a text that followed a byte-order mark of mark bytes,
// named by its offset in the file.
std::string byte_at(const std::string& text, size_t offset, size_t mark) {
    if (offset >= text.size()) return "the end of the file, inside a character,";
    char s[64];
    snprintf(s, sizeof s, "byte 0x%02X at offset %zu", static_cast<unsigned>(static_cast<unsigned char>(text[offset])),
             offset + mark);
    return s;
}

// The CSV scanner: one field at a time, so that a record of any length is
// read without holding its fields.
struct CsvScanner {
    const std::string& text;
    char separator;
    size_t i = 0;
    int line = 1;
    bool field_follows = false;  // a separator was just read
    std::string why{};           // what stopped the scanning: a quote left open, text after one

    bool more() const { return i < text.size() || field_follows; }
    bool line_end(size_t at) const { return text[at] == '\n' || text[at] == '\r'; }
    common::Error error() const { return common::Error(why); }

    // Reads a field; last tells whether it ends its record. False (why set)
    // for a quoted field that is not one.
    bool next(std::string* field, bool* last) {
        field->clear();
        field_follows = false;
        if (i < text.size() && text[i] == '"' && !quoted(field)) return false;
        const size_t start = i;
        while (i < text.size() && text[i] != separator && !line_end(i)) ++i;
        field->append(text, start, i - start);
        *last = i >= text.size() || text[i] != separator;
        if (i >= text.size()) return true;
        if (!*last) {
            field_follows = true;
        } else {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++line;
        }
        ++i;
        return true;
    }

    bool quoted(std::string* field) {
        const int opened = line;
        for (++i;; ++i) {
            if (i >= text.size()) {
                why = "line " + std::to_string(opened) + ": a quote is never closed";
                return false;
            }
            if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                ++i;
            } else if (text[i] == '"') {
                break;
            } else if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
                ++line;
            }
            *field += text[i];
        }
        ++i;
        if (i < text.size() && text[i] != separator && !line_end(i)) {
            why = "line " + std::to_string(line) + ": text after a closing quote";
            return false;
        }
        return true;
    }
};

std::vector<std::string> flat_keys(const Table& table, const Table* parent) {
    std::vector<std::string> keys;
    for (const exporter::FlatColumn& f : exporter::flat_columns(table, parent)) keys.push_back(f.key);
    return keys;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "";
    s = s.substr(first, s.find_last_not_of(" \t") - first + 1);
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

// The column a header cell names: its key exactly, else ignoring case and
// surrounding blanks; -1 for none.
int column_named(const std::vector<std::string>& keys, const std::string& cell) {
    for (size_t k = 0; k < keys.size(); ++k) {
        if (keys[k] == cell) return static_cast<int>(k);
    }
    const std::string f = folded(cell);
    for (size_t k = 0; k < keys.size(); ++k) {
        if (folded(keys[k]) == f) return static_cast<int>(k);
    }
    return -1;
}

size_t edit_distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::string nearest_key(const std::vector<std::string>& keys, const std::string& cell) {
    const std::string f = folded(cell.substr(0, 4 * kQuoteLimit));
    std::string best;
    size_t best_distance = SIZE_MAX;
    for (const std::string& k : keys) {
        const size_t d = edit_distance(f, k);
        if (d < best_distance) {
            best = k;
            best_distance = d;
        }
    }
    return best;
}

}  // namespace

// ---- Text encodings

common::Result<std::string> decode_text(std::string text) {
    common::TextEncoding encoding = common::TextEncoding::kUtf8;
    size_t mark = 0;
    if (starts_with(text, kByteOrderMark)) {
        mark = 3;
    } else if (starts_with(text, "\xFF\xFE")) {
        encoding = common::TextEncoding::kUtf16Le;
        mark = 2;
    } else if (starts_with(text, "\xFE\xFF")) {
        encoding = common::TextEncoding::kUtf16Be;
        mark = 2;
    }
    text.erase(0, mark);
    size_t bad = 0, bad932 = 0;
    if (encoding == common::TextEncoding::kUtf8 && common::convert_to_utf8(encoding, text, nullptr, &bad)) return text;
    std::string converted;
    if (encoding != common::TextEncoding::kUtf8 || mark == 0) {
        const common::TextEncoding other = encoding == common::TextEncoding::kUtf8 ? common::TextEncoding::kCp932 : encoding;
        if (common::convert_to_utf8(other, text, &converted, &bad932)) return converted;
    }
    if (encoding != common::TextEncoding::kUtf8) {
        return common::Error("not UTF-16 as its byte-order mark says: " + byte_at(text, bad932 & ~size_t{1}, mark) +
                             " begins no character");
    }
    if (mark) {
        return common::Error("not UTF-8 as its byte-order mark says: " + byte_at(text, bad, mark) + " begins no character");
    }
    return common::Error("not a text in UTF-8 (" + byte_at(text, bad, 0) + " begins no character) nor in code page 932 (" +
                         byte_at(text, bad932, 0) + " begins none)");
}

// ---- CSV

char csv_separator(std::string_view text) {
    size_t comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (size_t i = text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        comma += c == ',';
        semicolon += c == ';';
        tab += c == '\t';
    }
    if (tab > comma && tab >= semicolon) return '\t';
    return semicolon > comma ? ';' : ',';
}

common::Result<std::vector<CsvRecord>> parse_csv(const std::string& text) {
    CsvScanner scan{text, csv_separator(text)};
    scan.i = starts_with(text, kByteOrderMark) ? 3 : 0;
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    std::string field;
    bool last = false;
    while (scan.more()) {
        if (record.fields.empty()) record.line = scan.line;
        if (!scan.next(&field, &last)) return scan.error();
        record.fields.push_back(field);
        if (!last) continue;
        if (std::any_of(record.fields.begin(), record.fields.end(), [](const std::string& f) { return !f.empty(); })) {
            records.push_back(std::move(record));
        }
        record = {scan.line, {}};
    }
    return records;
}

// ---- Edited tables

EditedRow EditedTable::row(size_t r) const {
    EditedRow row{"", std::vector<std::string>(columns.size()), std::vector<bool>(columns.size(), false)};
    const RowStart& s = starts[r];
    const size_t end = r + 1 < starts.size() ? starts[r + 1].first_cell : cell_ends.size();
    for (size_t c = s.first_cell; c < end; ++c) {
        const size_t column = cell_columns.empty() ? header_columns[c - s.first_cell] : cell_columns[c];
        const size_t from = c ? cell_ends[c - 1] : 0;
        row.cells[column] = text.substr(from, cell_ends[c] - from);
        row.present[column] = true;
    }
    if (list.empty()) {
        row.where = "row " + std::to_string(s.number);
    } else {
        if (!parent_list.empty()) row.where = parent_list + "[" + std::to_string(parents[r]) + "].";
        row.where += list + "[" + std::to_string(s.number) + "]";
    }
    return row;
}

void EditedTable::add_row(uint32_t number, uint32_t parent) {
    starts.push_back({static_cast<uint32_t>(cell_ends.size()), number});
    if (!parent_list.empty()) parents.push_back(parent);
}

void EditedTable::add_cell(size_t column, std::string_view cell) {
    text.append(cell);
    cell_ends.push_back(static_cast<uint32_t>(text.size()));
    if (header_columns.empty()) cell_columns.push_back(static_cast<uint16_t>(column));
}

void EditedTable::drop_last_row() {
    const uint32_t first = starts.back().first_cell;
    text.resize(first ? cell_ends[first - 1] : 0);
    cell_ends.resize(first);
    if (!cell_columns.empty()) cell_columns.resize(first);
    starts.pop_back();
    if (!parents.empty()) parents.pop_back();
}

void EditedTable::set_cell(size_t r, size_t column, std::string_view cell) {
    EditedTable rebuilt;
    rebuilt.file = file;
    rebuilt.table = table;
    rebuilt.columns = columns;
    rebuilt.spelled = spelled;
    rebuilt.list = list;
    rebuilt.parent_list = parent_list;
    for (size_t i = 0; i < row_count(); ++i) {
        EditedRow edited = row(i);
        if (i == r) {
            edited.cells[column] = cell;
            edited.present[column] = true;
        }
        rebuilt.add_row(starts[i].number, parents.empty() ? 0 : parents[i]);
        for (size_t c = 0; c < columns.size(); ++c) {
            if (edited.present[c]) rebuilt.add_cell(c, edited.cells[c]);
        }
    }
    *this = std::move(rebuilt);
}

std::string quote_cut(std::string_view text) {
    size_t end = 0;
    for (size_t n = 0; end < text.size() && n < kQuoteLimit; ++n) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    }
    return "\"" + std::string(text.substr(0, end)) + (end < text.size() ? "...\"" : "\"");
}

bool names_table(const std::string& name, const std::string& prefix, const std::string& table) {
    const std::string head = prefix + "-" + table;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.compare(0, head.size(), head) != 0 || dot < head.size()) return false;
    const std::string extension = folded(name.substr(dot));
    if (extension != ".csv" && extension != ".txt" && extension != ".tsv") return false;
    return dot == head.size() || std::string(" -_.(").find(name[head.size()]) != std::string::npos;
}

namespace {

// A CSV file's header line: its number of cells (empty ones counted) and its
// named cells, at most limit + 1 of them (more than any table has columns).
struct Header {
    size_t fields = 0;
    std::vector<std::pair<size_t, std::string>> named;  // field number, text
};

common::Result<Header> read_header(CsvScanner& scan, size_t limit) {
    Header h;
    std::string field;
    bool last = false;
    while (h.named.empty() && scan.more()) {
        h.fields = 0;
        for (last = false; !last && scan.more(); ++h.fields) {
            if (!scan.next(&field, &last)) return scan.error();
            if (!field.empty() && h.named.size() <= limit) h.named.push_back({h.fields, field});
        }
    }
    if (h.named.empty()) return common::Error("no header line");
    return h;
}

struct TableRef {
    const Table* table = nullptr;
    const Table* parent = nullptr;
};

std::vector<std::string> folded_keys(const Table& t, const Table* parent) {
    std::vector<std::string> keys;
    for (const std::string& k : flat_keys(t, parent)) keys.push_back(folded(k));
    std::sort(keys.begin(), keys.end());
    return keys;
}

// The table other than own whose columns the header names, every one and no
// other, if any, when own's are not those.
TableRef header_of_other(const std::vector<Table>& tables, const TableRef& own, const Header& h) {
    std::vector<std::string> names;
    for (const auto& named : h.named) names.push_back(folded(named.second));
    std::sort(names.begin(), names.end());
    TableRef found;
    if (folded_keys(*own.table, own.parent) == names) return found;
    for (const Table& t : tables) {
        if (&t != own.table && folded_keys(t, nullptr) == names) found = {&t, nullptr};
        for (const Table& c : t.children) {
            if (&c != own.table && folded_keys(c, &t) == names) found = {&c, &t};
        }
    }
    return found;
}

size_t most_columns(const std::vector<Table>& tables) {
    size_t most = 0;
    for (const Table& t : tables) {
        most = std::max(most, flat_keys(t, nullptr).size());
        for (const Table& c : t.children) most = std::max(most, flat_keys(c, &t).size());
    }
    return most;
}

// The header's columns into out (spelled, header_columns); an error for an
// unknown column or one named twice.
common::Status match_header(const Header& h, const std::vector<std::string>& keys, EditedTable* out,
                            std::vector<std::pair<size_t, uint16_t>>* positions) {
    for (const auto& [field, name] : h.named) {
        const int column = column_named(keys, name);
        if (column < 0) {
            return common::Error("the header names a column the table has not: " + quote_cut(name) +
                                 " (did you mean \"" + nearest_key(keys, name) + "\"?)");
        }
        if (!out->spelled[column].empty()) {
            return common::Error("the header names the column \"" + keys[column] + "\" twice: " +
                                 quote_cut(out->spelled[column]) + " and " + quote_cut(name));
        }
        out->spelled[column] = name;
        out->header_columns.push_back(static_cast<uint16_t>(column));
        positions->push_back({field, static_cast<uint16_t>(column)});
    }
    return common::success();
}

// The data rows: each row's cells of the header's columns; a row with more
// fields than the header is refused unless the extra ones are empty.
common::Status read_rows(CsvScanner& scan, const Header& h, const std::vector<std::pair<size_t, uint16_t>>& positions,
                         EditedTable* out) {
    std::string field;
    bool last = true, any = false, extra = false;
    size_t n = 0, p = 0;
    int line = 0;
    while (scan.more()) {
        if (last) {
            line = scan.line;
            out->add_row(static_cast<uint32_t>(line));
            any = extra = false;
            n = p = 0;
        }
        if (!scan.next(&field, &last)) return scan.error();
        any = any || !field.empty();
        extra = extra || (n >= h.fields && !field.empty());
        if (p < positions.size() && positions[p].first == n) out->add_cell(positions[p++].second, field);
        ++n;
        if (!last) continue;
        if (extra) {
            return common::Error("row " + std::to_string(line) + " has " + std::to_string(n) + " fields, more than the " +
                                 std::to_string(h.fields) + " of the header");
        }
        if (!any) out->drop_last_row();
    }
    return common::success();
}

std::string file_name(const std::string& prefix, const Table& t) { return prefix + "-" + t.file + ".csv"; }

// The table a CSV file's name names: the longest table name that
// names_table accepts.
common::Result<TableRef> table_named(const std::string& path, const std::string& prefix,
                                     const std::vector<Table>& tables) {
    const std::string name = common::base_name(path);
    TableRef own;
    std::string names;
    const auto consider = [&](const Table& t, const Table* parent) {
        names += (names.empty() ? "" : ", ") + file_name(prefix, t);
        if (names_table(name, prefix, t.file) && (!own.table || t.file.size() > own.table->file.size())) {
            own = {&t, parent};
        }
    };
    for (const Table& t : tables) {
        consider(t, nullptr);
        for (const Table& c : t.children) consider(c, &t);
    }
    if (!own.table) {
        return common::Error("no table of the export is called so; the tables' files are " + names +
                             " (.csv, .txt or .tsv, a copy's suffix allowed)");
    }
    return own;
}

}  // namespace

common::Result<EditedTable> read_csv_table(const std::string& path, const std::string& text, const std::string& prefix,
                                           const std::vector<Table>& tables) {
    const common::Result<TableRef> named = table_named(path, prefix, tables);
    if (!named) return named.error();
    const TableRef own = *named;
    CsvScanner scan{text, csv_separator(text)};
    const common::Result<Header> header = read_header(scan, most_columns(tables));
    if (!header) return header.error();
    const Header& h = *header;
    const std::vector<std::string> keys = flat_keys(*own.table, own.parent);
    EditedTable out;
    out.file = path;
    out.table = own.table->file;
    out.columns = keys;
    out.spelled.assign(keys.size(), "");
    std::vector<std::pair<size_t, uint16_t>> positions;
    const TableRef other = header_of_other(tables, own, h);
    const std::string wrong = other.table ? "this is the file of the table " + other.table->file +
                                                " under another name" : "";
    if (const common::Status matched = match_header(h, keys, &out, &positions); !matched) {
        if (!other.table) return matched.error();
        return common::Error("the header is that of " + file_name(prefix, *other.table) + ", not of " +
                             file_name(prefix, *own.table) + ": " + wrong);
    }
    if (const common::Status read = read_rows(scan, h, positions, &out); !read) return read.error();
    const size_t rows = out.row_count();
    if (other.table && !other.parent && !own.parent && rows == static_cast<size_t>(other.table->rows(-1)) &&
        rows != static_cast<size_t>(own.table->rows(-1))) {
        return common::Error("the header and the " + std::to_string(rows) + " rows are those of " +
                             file_name(prefix, *other.table) + " (" + file_name(prefix, *own.table) + " has " +
                             std::to_string(own.table->rows(-1)) + " rows): " + wrong);
    }
    return out;
}

// ---- The JSON document, read as a stream

namespace {

using Json = nlohmann::json;

enum class Level { kRoot, kRom, kTables, kRows, kRow, kLabels, kSkip };

// An open object or array of the document and what it is.
struct Open {
    Level level = Level::kSkip;
    std::string where;  // for messages: "the document", "rom", "monsters[3]"
    bool object = true;
    std::unordered_set<std::string> keys;
    std::string key;          // the last key of an object
    size_t edited = 0;        // kRows, kRow, kLabels: the table in out
    const Table* table = nullptr;
    uint32_t count = 0;       // kRows: the rows so far; kRow: its place in its list
    uint32_t parent_row = 0;  // kRows of a child table: the parent row in its table
    size_t cells = 0, children = 0;  // kRow
    int column = -1;          // kLabels
    std::string labels;
};

class JsonReader : public nlohmann::json_sax<Json> {
public:
    JsonReader(const std::string& path, const char* game, const std::vector<Table>& tables,
               std::vector<EditedTable>* out, EditedIdentity* id)
        : path_(path), game_(game), tables_(tables), out_(out), id_(id) {}

    bool null() override { return scalar("null", ""); }
    bool boolean(bool b) override { return scalar("a truth value", b ? "true" : "false"); }
    bool number_integer(number_integer_t n) override { return integer(std::to_string(n)); }
    bool number_unsigned(number_unsigned_t n) override { return integer(std::to_string(n)); }
    bool number_float(number_float_t, const string_t& s) override { return scalar("a fraction", s); }
    bool string(string_t& s) override { return scalar("a text", s); }
    bool binary(binary_t&) override { return fail("binary data is no value of the export"); }
    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool key(string_t& k) override {
        Open& o = stack_.back();
        if (!o.keys.insert(k).second) return fail(o.where + " gives the key " + quote_cut(k) + " twice");
        o.key = k;
        return true;
    }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
        return fail(std::string("not an export document: ") + e.what());
    }

    // The checks that need the whole document.
    bool finish() {
        if (!format_) return fail("not an export document: no \"format\"");
        if (!game_seen_) return fail(std::string("not an export of game ") + game_ + ": no \"game\"");
        if (!version_) return fail("no \"version\"");
        return true;
    }

    // The first thing wrong with the document, once a step gave false.
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& why) {
        if (error_.empty()) error_ = why;
        return false;
    }

    // A scalar value in the open object or array.
    bool scalar(const char* kind, const std::string& text) {
        if (stack_.empty()) return fail("not an export document: not an object");
        Open& o = stack_.back();
        switch (o.level) {
            case Level::kRoot: return root_value(o.key, kind, text);
            case Level::kRom:
                if (o.key == "crc32" || o.key == "rom_crc32") {
                    if (std::string(kind) != "a text") return fail("\"rom\".\"" + o.key + "\" is " + kind + ", not a text");
                    (o.key == "crc32" ? id_->crc32 : id_->rom_crc32) = text;
                }
                return true;
            case Level::kTables: return fail(quote_cut(o.key) + " is no list of rows");
            case Level::kRows: return fail(o.where + "[" + std::to_string(o.count) + "] is no row");
            case Level::kRow: return row_value(o, kind, text);
            case Level::kLabels:
                if (std::string(kind) != "a text") return no_value(stack_[stack_.size() - 2]);
                o.labels += (o.labels.empty() ? "" : " ") + text;
                return true;
            case Level::kSkip: return true;
        }
        return true;
    }

    bool integer(const std::string& text) { return scalar("a whole number", text); }

    bool root_value(const std::string& key, const char* kind, const std::string& text) {
        const bool is_text = std::string(kind) == "a text";
        if (key == "format") {
            format_ = true;
            if (!is_text || text != "meridian-tools-export") {
                return fail("not an export document: \"format\" is " +
                            (is_text ? quote_cut(text) : std::string(kind)) + ", not \"meridian-tools-export\"");
            }
        } else if (key == "game") {
            game_seen_ = true;
            if (!is_text || text != game_) {
                return fail(std::string("not an export of game ") + game_ + ": \"game\" is " +
                            (is_text ? quote_cut(text) : std::string(kind)));
            }
        } else if (key == "version") {
            version_ = true;
            if (std::string(kind) != "a whole number") {
                return fail("\"version\" is " + (is_text ? quote_cut(text) : std::string(kind)) + ", not the number " +
                            std::to_string(exporter::kExportVersion));
            }
            if (text != std::to_string(exporter::kExportVersion)) {
                return fail("\"version\" is " + text + "; this importer reads version " +
                            std::to_string(exporter::kExportVersion) + " (export the image again)");
            }
        } else if (key == "rom" || key == "tables") {
            return fail("\"" + key + "\" is " + kind + ", not an object");
        }
        return true;
    }

    bool no_value(const Open& row) {
        return fail(row.where + ": the value of " + quote_cut(row.key) + " is no value of the export");
    }

    int column_of(const Open& row, const std::string& key) const {
        const std::vector<std::string>& columns = (*out_)[row.edited].columns;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c] == key) return static_cast<int>(c);
        }
        return -1;
    }

    const Table* child_of(const Open& row, const std::string& key) const {
        for (const Table& c : row.table->children) {
            if (c.key == key) return &c;
        }
        return nullptr;
    }

    bool row_value(Open& row, const char* kind, const std::string& text) {
        const int column = column_of(row, row.key);
        if (child_of(row, row.key)) return fail(row.where + "." + row.key + " is no list of rows");
        if (column < 0 || row.key == "") return true;  // not a column: passed over
        if (std::string(kind) == "a fraction") return no_value(row);
        (*out_)[row.edited].add_cell(static_cast<size_t>(column), kind == std::string("null") ? "" : text);
        ++row.cells;
        return true;
    }

    size_t table_of(const Table& table, const Table* parent) {
        for (size_t i = 0; i < out_->size(); ++i) {
            if ((*out_)[i].table == table.file) return i;
        }
        EditedTable t;
        t.file = path_;
        t.table = table.file;
        t.columns = flat_keys(table, parent);
        t.list = table.key;
        t.parent_list = parent ? parent->key : "";
        out_->push_back(std::move(t));
        return out_->size() - 1;
    }

    bool open(bool object) {
        Open next;
        next.object = object;
        if (stack_.empty()) {
            if (!object) return fail("not an export document: not an object");
            next.level = Level::kRoot;
            next.where = "the document";
        } else if (!open_inside(stack_.back(), object, &next)) {
            return false;
        }
        if (next.where.empty()) next.where = stack_.back().where;
        stack_.push_back(std::move(next));
        return true;
    }

    bool open_inside(Open& o, bool object, Open* next) {
        switch (o.level) {
            case Level::kRoot:
                if (o.key == "rom" && object) next->level = Level::kRom, next->where = "\"rom\"";
                if (o.key == "tables" && object) next->level = Level::kTables, next->where = "\"tables\"";
                if ((o.key == "rom" || o.key == "tables") && !object) return fail("\"" + o.key + "\" is no object");
                if (o.key == "format" || o.key == "game" || o.key == "version") {
                    return root_value(o.key, object ? "an object" : "a list", "");
                }
                return true;
            case Level::kTables: return open_table(o, object, next);
            case Level::kRows: return open_row(o, object, next);
            case Level::kRow: return open_in_row(o, object, next);
            case Level::kLabels: return no_value(stack_[stack_.size() - 2]);
            case Level::kRom:
                if (o.key == "crc32" || o.key == "rom_crc32") {
                    return fail("\"rom\".\"" + o.key + "\" is " + (object ? "an object" : "a list") + ", not a text");
                }
                return true;
            case Level::kSkip: return true;
        }
        return true;
    }

    bool open_table(Open& o, bool object, Open* next) {
        const Table* table = nullptr;
        for (const Table& t : tables_) {
            if (t.key == o.key) table = &t;
        }
        if (!table) return fail("no table of the export is called " + quote_cut(o.key));
        if (object) return fail(o.key + " is no list of rows");
        next->level = Level::kRows;
        next->where = o.key;
        next->table = table;
        next->edited = table_of(*table, nullptr);
        return true;
    }

    bool open_row(Open& o, bool object, Open* next) {
        const std::string where = o.where + "[" + std::to_string(o.count) + "]";
        if (!object) return fail(where + " is no row");
        next->level = Level::kRow;
        next->where = where;
        next->table = o.table;
        next->edited = o.edited;
        next->count = o.count++;
        (*out_)[o.edited].add_row(next->count, o.parent_row);
        return true;
    }

    bool open_in_row(Open& row, bool object, Open* next) {
        if (const Table* child = child_of(row, row.key)) {
            if (object) return fail(row.where + "." + row.key + " is no list of rows");
            next->level = Level::kRows;
            next->where = row.where + "." + row.key;
            next->table = child;
            next->parent_row = static_cast<uint32_t>((*out_)[row.edited].row_count() - 1);
            next->edited = table_of(*child, row.table);
            ++row.children;
            return true;
        }
        const int column = column_of(row, row.key);
        if (column < 0) return true;  // not a column: passed over
        if (object) return no_value(row);
        next->level = Level::kLabels;
        next->edited = row.edited;
        next->column = column;
        return true;
    }

    bool close() {
        Open o = std::move(stack_.back());
        stack_.pop_back();
        if (o.level == Level::kLabels) {
            (*out_)[o.edited].add_cell(static_cast<size_t>(o.column), o.labels);
            ++stack_.back().cells;
        } else if (o.level == Level::kRow && o.cells == 0 && o.children == 0) {
            (*out_)[o.edited].drop_last_row();
        }
        return true;
    }

    const std::string& path_;
    const char* game_;
    const std::vector<Table>& tables_;
    std::vector<EditedTable>* out_;
    EditedIdentity* id_;
    std::string error_;  // the first thing wrong with the document
    std::vector<Open> stack_;
    bool format_ = false, game_seen_ = false, version_ = false;
};

// A child table's rows given their parent row's key cells (the leading
// columns), and the parent row's place in its list for their where.
void add_parent_cells(EditedTable* child, const EditedTable& parent, const Table& table) {
    std::vector<int> from;  // the parent's column of each parent key
    for (const auto& [parent_key, key] : table.parent_keys) {
        const auto at = std::find(parent.columns.begin(), parent.columns.end(), parent_key);
        from.push_back(at == parent.columns.end() ? -1 : static_cast<int>(at - parent.columns.begin()));
    }
    EditedTable rows = *child;
    rows.starts.clear();
    rows.parents.clear();
    rows.text.clear();
    rows.cell_ends.clear();
    rows.cell_columns.clear();
    for (size_t r = 0; r < child->row_count(); ++r) {
        const EditedRow parent_row = parent.row(child->parents[r]);
        rows.add_row(child->starts[r].number, parent.starts[child->parents[r]].number);
        for (size_t k = 0; k < from.size(); ++k) {
            if (from[k] >= 0 && parent_row.present[from[k]]) rows.add_cell(k, parent_row.cells[from[k]]);
        }
        const size_t end = r + 1 < child->row_count() ? child->starts[r + 1].first_cell : child->cell_ends.size();
        for (size_t c = child->starts[r].first_cell; c < end; ++c) {
            const size_t begin = c ? child->cell_ends[c - 1] : 0;
            rows.add_cell(child->cell_columns[c], std::string_view(child->text).substr(begin, child->cell_ends[c] - begin));
        }
    }
    *child = std::move(rows);
}

}  // namespace

common::Result<EditedDocument> read_json_tables(const std::string& path, const std::string& text, const char* game,
                                                const std::vector<Table>& tables) {
    EditedDocument document;
    std::vector<EditedTable>& out = document.tables;
    JsonReader reader(path, game, tables, &out, &document.id);
    if (!Json::sax_parse(text, &reader) || !reader.finish()) return common::Error(reader.error());
    for (EditedTable& t : out) {
        if (t.parent_list.empty()) continue;
        for (const Table& parent : tables) {
            for (const Table& c : parent.children) {
                if (c.file != t.table) continue;
                for (const EditedTable& p : out) {
                    if (p.table == parent.file) add_parent_cells(&t, p, c);
                }
            }
        }
    }
    return document;
}

}  // namespace importer
