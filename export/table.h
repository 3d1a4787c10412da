// Tables as the exporters describe them: named columns whose values come from
// the analyzers' blocks and name lookups. One description drives both the JSON
// writer and the CSV writer, so every key is defined once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/export_keys.h"
#include "common/names.h"
#include "common/rom.h"

namespace exporter {

// One cell: a number, a flag, a text (UTF-8), a list of labels, or nothing
// (a field that does not belong to the record, or a reference to "none").
struct Value {
    enum Kind { kNull, kNumber, kFlag, kText, kLabels };
    Kind kind = kNull;
    long long number = 0;  // kNumber, and kFlag as 0 or 1
    std::string text;
    std::vector<const char*> labels;
};

Value number(long long n);
Value flag(bool b);
Value text(const char* s);

// The labels of the bits set in bits. Highest first (the order in which the
// reports print bit labels): labels[0] names bit count-1. Lowest first:
// labels[i] names bit i.
using common::BitOrder;
Value bit_labels(int bits, const char* const* labels, int count, BitOrder order = BitOrder::kHighestFirst);

// A row of a table; in a child table, parent is the row of the parent table.
struct Row {
    int parent;
    int index;
};

// A key and its column heading in the analyzers' reports (UTF-8, "" where
// the reports have no heading for it).
struct Name {
    std::string key;
    std::string label;

    Name(std::string k, std::string l) : key(std::move(k)), label(std::move(l)) {}
    Name(const common::Key& k) : key(k.key), label(k.label) {}
};

struct Column {
    std::string key;
    std::string label;
    Value::Kind kind = Value::kNull;  // the kind of every non-null value
    std::function<Value(const Row&)> value;
    bool nullable = false;
    std::vector<std::string> allowed;  // kLabels: the labels a value may hold
    std::string references;            // key of the table whose "index" this column refers to, or ""
    int none = -1;                     // with references: the index that stands for "none", or -1
    // In a key-value CSV file (the identification file), written before the
    // value: "0x" before a hash, so that spreadsheet programs keep it as text.
    std::string csv_prefix;
    // Where a person reads the number (the viewer page), its hexadecimal form
    // of this many digits beside it ("31420 (0x7ABC)"); 0: none.
    int hex_digits = 0;
};

using Columns = std::vector<Column>;

struct Table {
    std::string key;   // JSON key, snake_case ("monsters", nested "actions")
    std::string file;  // CSV file name part ("monsters", "monster-actions")
    std::function<int(int parent)> rows;  // number of rows (of one parent row)
    Columns columns;
    // Nested tables: in JSON an array under the child's key in every row, in
    // CSV a file of their own whose rows begin with the parent_keys columns.
    std::vector<Table> children;
    // Child tables: (parent column key, key of that column in the child's CSV).
    std::vector<std::pair<std::string, std::string>> parent_keys;
    // The columns that tell the rows apart (within one parent row).
    std::vector<std::string> row_key = {"index"};
};

// The version of the exports' layout ("version" of the JSON document).
constexpr int kExportVersion = 2;

// Column makers.
Column index_column();
Column number_column(Name name, std::function<long long(const Row&)> get);
Column flag_column(Name name, std::function<bool(const Row&)> get);
Column text_column(Name name, std::function<const char*(const Row&)> get);
Column labels_column(Name name, std::function<int(const Row&)> bits, const char* const* labels, int count = 8,
                     BitOrder order = BitOrder::kHighestFirst);

// What a reference refers to: a table of the export (its key, e.g. "items")
// or a fixed list of count names (table ""), the name lookup, and the index
// that stands for "none" (-1: there is none).
struct Target {
    std::string table;
    common::NameLookup name;
    int none = -1;
    int count = 0;  // a fixed list: the names of 0..count-1
};

// A reference adds two columns: key (the index) and key_name (its name, null
// for "none" and for an index outside a fixed list).
void add_reference(Columns& columns, const Name& name, std::function<int(const Row&)> index, const Target& target);

// Columns of a field of records[row.index]: a member, or element i of an
// array member.
template <typename Record>
Column number_of(Name name, const Record* records, int32_t Record::*member) {
    return number_column(std::move(name), [records, member](const Row& r) { return records[r.index].*member; });
}
template <typename Record, size_t N>
Column number_of(Name name, const Record* records, int32_t (Record::*member)[N], int i) {
    return number_column(std::move(name),
                         [records, member, i](const Row& r) { return (records[r.index].*member)[i]; });
}
template <typename Record, size_t N>
Column flag_of(Name name, const Record* records, int32_t (Record::*member)[N], int i) {
    return flag_column(std::move(name),
                       [records, member, i](const Row& r) { return (records[r.index].*member)[i] != 0; });
}

// A column for every element of an array member, keyed in order by keys.
template <typename Record, size_t N>
Columns numbers_of(const common::Key (&keys)[N], const Record* records, int32_t (Record::*member)[N]) {
    Columns c;
    for (size_t i = 0; i < N; ++i) c.push_back(number_of(keys[i], records, member, static_cast<int>(i)));
    return c;
}
template <typename Record, size_t N>
Columns flags_of(const common::Key (&keys)[N], const Record* records, int32_t (Record::*member)[N]) {
    Columns c;
    for (size_t i = 0; i < N; ++i) c.push_back(flag_of(keys[i], records, member, static_cast<int>(i)));
    return c;
}

// The stored fields that no column of their table shows yet, appended to the
// table as columns read from the image's bytes: a field of record index -
// first of its records, one bit a flag (inverted where it is stored so), more
// a number; null in the rows that have no such record. A field added to a
// game's stored fields is thereby exported, compared, imported and edited in
// a session alike. Fields of records found through the image, and of nested
// tables, are left to the tables' own columns. Without an image the columns
// are described only (their values must not be asked for).
void add_stored_columns(std::vector<Table>& tables, const std::vector<common::StoredField>& fields,
                        const common::RomImage* image);

// The columns with every value replaced by null in the rows where applies is
// false (fields of other item kinds, the other technique half).
Columns only_where(std::function<bool(const Row&)> applies, Columns columns);

// Appends more to columns.
void append(Columns& columns, Columns more);

// A table as a flat file (CSV, SQL): in a child table the parent's key
// columns first, under their names in the child, then the table's own.
struct FlatColumn {
    std::string key;
    const Column* column;
    bool from_parent;
};
std::vector<FlatColumn> flat_columns(const Table& table, const Table* parent);
// Calls each with the values of every row in flat_columns order: of every
// parent row in turn for a child table.
void for_each_flat_row(const Table& table, const Table* parent,
                       const std::function<void(const std::vector<Value>&)>& each);
// A value as one field of a flat file: flags "true"/"false", labels joined by
// one blank, null empty.
std::string flat_text(const Value& v);

// The export files as text, the same bytes on every platform (the shell
// writes them in binary): JSON with "\n" line ends, CSV (RFC 4180) with
// CR LF record ends, UTF-8 behind a byte-order mark.
// The JSON document: game "A" or "B", the rom block (the one row of rom),
// the tables.
std::string json_document(const char* game, const Table& rom, const std::vector<Table>& tables);
// The viewer page: the page template with the column descriptions of the rom
// block and the tables and the JSON document put in, every '<' of them
// written as \u003c so that no text of the image can end the script element
// that holds it.
std::string page_document(const char* game, const Table& rom, const std::vector<Table>& tables);
std::string csv_document(const Table& table, const Table* parent);
// A table of one row as a CSV file of "key,value" records, one a column (the
// rom block beside the table files, which tells the image they come from).
std::string key_value_csv_document(const Table& table);

// The rom block as it stands in the JSON document: one object on one line.
std::string rom_object(const Table& rom);

// A row as it stands in the JSON document: one object, its nested tables in it.
std::string json_row(const Table& table, const Row& row);

// A value as it stands in the JSON document ("12", "true", "\"name\"",
// "[\"a\",\"b\"]", "null").
std::string json_text(const Value& value);

// One CSV field: quoted when it holds a comma, a quote, CR or LF; quotes
// inside are doubled.
std::string csv_field(const std::string& text);

}  // namespace exporter
