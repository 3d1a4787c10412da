// Edited export files read back: CSV files as a spreadsheet saves them and the
// JSON document, both turned into tables of text cells in the CSV files'
// shape (a child table's rows begin with its parent's key columns), so that
// one comparison serves both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "export/table.h"

namespace importer {

// The text of an edited file made UTF-8, found without an option: a
// byte-order mark names UTF-8 or UTF-16 (little- or big-endian, as Excel's
// "Unicode Text" is); without one the text is UTF-8 when it is valid UTF-8,
// else code page 932 (Excel's plain CSV on Japanese Windows) when it is that.
// A UTF-8 byte-order mark is removed. For any other text, an error naming
// the first byte that fits no encoding.
common::Result<std::string> decode_text(std::string text);

// One record of a CSV text and the line it starts on (from 1).
struct CsvRecord {
    int line;
    std::vector<std::string> fields;
};

// The field separator of a CSV text: comma, semicolon or tab, whichever its
// first line holds most of outside quotes (a comma when it holds none).
char csv_separator(std::string_view text);

// Splits a CSV text into records: RFC 4180 (fields quoted or not, quotes
// doubled inside quotes, line breaks inside quotes kept), the separator as
// csv_separator finds it, with or without the UTF-8 byte-order mark, CR LF,
// LF or CR line ends, the last line end optional. Records whose fields are
// all empty (the blank lines spreadsheets leave) are dropped. An error for a
// quote left open or text after a closing quote.
common::Result<std::vector<CsvRecord>> parse_csv(const std::string& text);

// A row of an edited file with every column of its table: the absent cells
// (a column the file has not, a key the JSON row object has not) are empty
// and not present.
struct EditedRow {
    std::string where;               // "row 12" (the CSV line), "monsters[3].actions[0]" (JSON)
    std::vector<std::string> cells;  // in the order of EditedTable::columns
    std::vector<bool> present;
};

// The rows of an edited file, kept as the cells present only (a CSV file's
// rows share its header's columns), so that a file takes memory in
// proportion to its size whatever its shape.
struct EditedTable {
    std::string file;   // the edited file's path
    std::string table;  // the CSV file part of the table ("monsters", "monster-actions")
    std::vector<std::string> columns;
    // Each column as the file's header spells it, in the order of columns
    // ("" where the file has no such column, and in a JSON document, whose
    // keys are the columns' own).
    std::vector<std::string> spelled;
    // Refusals spoken of the cell alone ("HP 99999: allowed 0..65535"), as a
    // person editing that cell reads them, not of a file's row.
    bool cell_words = false;

    size_t row_count() const { return starts.size(); }
    EditedRow row(size_t r) const;

    // Building: a row (its CSV line, or its place in its JSON list and its
    // parent row's), then its cells.
    void add_row(uint32_t number, uint32_t parent = 0);
    void add_cell(size_t column, std::string_view text);
    void drop_last_row();
    // Changes one cell of a table read or built (its storage is made again).
    void set_cell(size_t r, size_t column, std::string_view text);

    // In the JSON document, where the rows are: the list's key and, for a
    // child table, its parent's ("monsters", "actions"); empty for a CSV file.
    std::string list;
    std::string parent_list;

    struct RowStart {
        uint32_t first_cell;
        uint32_t number;
    };
    std::vector<RowStart> starts;
    std::vector<uint32_t> parents;       // JSON child rows: the parent row's number
    std::string text;                    // the cells' texts one after another
    std::vector<uint32_t> cell_ends;     // where each cell's text ends in text
    std::vector<uint16_t> cell_columns;  // each cell's column; empty: header_columns
    std::vector<uint16_t> header_columns;  // a CSV file's columns in its fields' order
};

// Whether a file name (without its folder) names the table whose CSV file
// part is table: <prefix>-<table>, then the end or a separator (as in a
// spreadsheet's copy "mt3-monsters (1).csv", "mt3-monsters-edited.csv"),
// with the extension .csv, .txt or .tsv in any case.
bool names_table(const std::string& name, const std::string& prefix, const std::string& table);

// A CSV file of the export (UTF-8 text): its table found by name (the
// longest table name that names_table accepts), its columns by its header
// line (exactly, else ignoring case and surrounding blanks). An error when
// the name or the header names no table or column of the export, a column
// twice, when a row has more fields than the header, or when the file is
// another table's file (its header is that table's, and it has not the rows
// of its own table where the header fits both).
common::Result<EditedTable> read_csv_table(const std::string& path, const std::string& text, const std::string& prefix,
                                           const std::vector<exporter::Table>& tables);

// What an export says of the image it was made from (hexadecimal, as given).
struct EditedIdentity {
    std::string crc32;      // of the whole file
    std::string rom_crc32;  // of the ROM proper
};

// The export's JSON document as read: its tables and its identification.
struct EditedDocument {
    std::vector<EditedTable> tables;
    EditedIdentity id;
};

// The export's JSON document, read as a stream: its "format", "game" (must be
// game) and "version" (kExportVersion), its "rom" block's CRC32s, and every
// table it holds as an EditedTable (children flattened with their parent's
// keys; a row object with no value at all is passed over, as a blank CSV line
// is). An error for a document that is not an export of this game, a value
// of the wrong type or an object that gives a key twice.
common::Result<EditedDocument> read_json_tables(const std::string& path, const std::string& text, const char* game,
                                                const std::vector<exporter::Table>& tables);

// A header cell or a cell in a message: quoted, and cut after its first 60
// characters (never inside a UTF-8 sequence) with "..." after them.
std::string quote_cut(std::string_view text);

}  // namespace importer
