// The SQL file of an export: plain SQL text that the sqlite3 shell loads into
// a database with one table per exported table (a CSV file's columns, typed,
// the keys that SQLite reserves renamed: "index" is idx and "group" grp),
// primary and foreign keys, all in one transaction.
#pragma once

#include <vector>

#include "export/table.h"

namespace exporter {

// The SQL file's text: UTF-8, LF line ends.
std::string sql_document(const Table& rom, const std::vector<Table>& tables);

// A string literal: in single quotes, quotes inside doubled.
std::string sql_text(const std::string& text);

}  // namespace exporter
