// Edited export files read back: CSV files as a spreadsheet saves them and the
// JSON document, both turned into tables of text cells in the CSV files'
// shape (a child table's rows begin with its parent's key columns), so that
// one comparison serves both.
#pragma once

#include <string>
#include <vector>

#include "export/table.h"

// One record of a CSV text and the line it starts on (from 1).
struct CsvRecord {
    int line;
    std::vector<std::string> fields;
};

// Splits a CSV text into records: RFC 4180 (fields quoted or not, quotes
// doubled inside quotes, line breaks inside quotes kept), with or without the
// UTF-8 byte-order mark, CR LF or LF line ends, the last line end optional.
// Records whose fields are all empty (the blank lines spreadsheets leave) are
// dropped. False with error set for a quote left open or text after a
// closing quote.
bool parse_csv(const std::string& text, std::vector<CsvRecord>* records, std::string* error);

struct EditedRow {
    std::string where;               // "row 12" (the CSV line), "monsters[3].actions[0]" (JSON)
    std::vector<std::string> cells;  // in the order of EditedTable::columns; absent cells are absent keys
    std::vector<bool> present;
};

struct EditedTable {
    std::string file;   // the edited file's path
    std::string table;  // the CSV file part of the table ("monsters", "monster-actions")
    std::vector<std::string> columns;
    // Each column as the file's header spells it, in the order of columns
    // ("" where the file has no such column, and in a JSON document, whose
    // keys are the columns' own).
    std::vector<std::string> spelled;
    std::vector<EditedRow> rows;
};

// A CSV file of the export: its table found by name (<prefix>-<table>.csv),
// its columns by its header line. False with error set when the name or the
// header names no table or column of the export.
bool read_csv_table(const std::string& path, const std::string& text, const std::string& prefix,
                    const std::vector<Table>& tables, EditedTable* out, std::string* error);

// The export's JSON document: its "game" must be game, every table it holds
// becomes an EditedTable (children flattened with their parent's keys), and
// rom_crc32 receives its "rom"."crc32". False with error set for a document
// that is not an export of this game.
bool read_json_tables(const std::string& path, const std::string& text, const char* game,
                      const std::vector<Table>& tables, std::vector<EditedTable>* out, std::string* rom_crc32,
                      std::string* error);
