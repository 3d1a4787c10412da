#include "export/sql.h"

namespace exporter {

namespace {

// Table and column names are always quoted, yet no column needs it where a
// user types a query: the keys that SQLite reserves have names of their own.
std::string quoted(const std::string& name) { return '"' + name + '"'; }

struct SqlName {
    const char* key;
    const char* column;
};
constexpr SqlName kSqlNames[] = {{"index", "idx"}, {"group", "grp"}};

// The column of a key: the key, or its own name where SQLite reserves the key.
std::string column_name(const std::string& key) {
    for (const SqlName& n : kSqlNames) {
        if (key == n.key) return n.column;
    }
    return key;
}

std::string quoted_column(const std::string& key) { return quoted(column_name(key)); }

// The table of a flat file: "monster-actions" is monster_actions.
std::string sql_name(const Table& table) {
    std::string name = table.file;
    for (char& ch : name) {
        if (ch == '-') ch = '_';
    }
    return name;
}

std::string column_type(const FlatColumn& f) {
    const Column& c = *f.column;
    std::string type = c.kind == Value::kNumber || c.kind == Value::kFlag ? "INTEGER" : "TEXT";
    if (!c.nullable && c.none < 0) type += " NOT NULL";
    if (c.kind == Value::kFlag) type += " CHECK (" + quoted_column(f.key) + " IN (0, 1))";
    if (c.kind == Value::kText && !c.allowed.empty()) {
        type += " CHECK (" + quoted_column(f.key) + " IN (";
        for (size_t i = 0; i < c.allowed.size(); ++i) {
            if (i) type += ", ";
            type += sql_text(c.allowed[i]);
        }
        type += "))";
    }
    return type;
}

std::string key_list(const std::vector<std::string>& keys) {
    std::string list;
    for (const std::string& k : keys) {
        if (!list.empty()) list += ", ";
        list += quoted_column(k);
    }
    return list;
}

// A foreign key to the table's index, checked at COMMIT: the rows of a table may refer to rows
// inserted after them (monsters to items), so the file loads where foreign
// keys are enforced (PRAGMA foreign_keys = ON) as well.
std::string foreign_key(const std::string& column, const std::string& table) {
    return ",\n  FOREIGN KEY (" + quoted_column(column) + ") REFERENCES " + quoted(table) + " (" +
           quoted_column("index") + ") DEFERRABLE INITIALLY DEFERRED";
}

// CREATE TABLE with the columns, the primary key (the parent's index and the
// row key in a child table), the foreign keys of the references and, in a
// child table, the one to its parent.
std::string create_table(const Table& table, const Table* parent, const std::vector<FlatColumn>& flat) {
    std::string sql = "CREATE TABLE " + quoted(sql_name(table)) + " (\n";
    for (const FlatColumn& f : flat) sql += "  " + quoted_column(f.key) + " " + column_type(f) + ",\n";
    std::vector<std::string> primary;
    if (parent) primary.push_back(table.parent_keys.front().second);
    primary.insert(primary.end(), table.row_key.begin(), table.row_key.end());
    sql += "  PRIMARY KEY (" + key_list(primary) + ")";
    if (parent) sql += foreign_key(primary.front(), sql_name(*parent));
    for (const FlatColumn& f : flat) {
        if (!f.column->references.empty() && !f.from_parent) sql += foreign_key(f.key, f.column->references);
    }
    return sql + "\n);\n";
}

std::string literal(const Value& v, const Column& c) {
    switch (v.kind) {
        case Value::kNumber:
            return c.none >= 0 && v.number == c.none ? "NULL" : std::to_string(v.number);
        case Value::kFlag:
            return v.number ? "1" : "0";
        case Value::kText:
        case Value::kLabels:
            return sql_text(flat_text(v));
        case Value::kNull:
            break;
    }
    return "NULL";
}

void print_create(std::string& out, const Table& table, const Table* parent) {
    out += create_table(table, parent, flat_columns(table, parent));
    for (const Table& child : table.children) print_create(out, child, &table);
}

void print_rows(std::string& out, const Table& table, const Table* parent) {
    const std::vector<FlatColumn> flat = flat_columns(table, parent);
    const std::string insert = "INSERT INTO " + quoted(sql_name(table)) + " VALUES (";
    for_each_flat_row(table, parent, [&](const std::vector<Value>& values) {
        out += insert;
        for (size_t i = 0; i < values.size(); ++i) {
            if (i) out += ',';
            out += literal(values[i], *flat[i].column);
        }
        out += ");\n";
    });
    for (const Table& child : table.children) print_rows(out, child, &table);
}

}  // namespace

std::string sql_text(const std::string& text) {
    std::string literal = "'";
    for (char ch : text) {
        if (ch == '\'') literal += '\'';
        literal += ch;
    }
    return literal + '\'';
}

std::string sql_document(const Table& rom, const std::vector<Table>& tables) {
    // Every table is created before the first row goes in: where foreign
    // keys are enforced, a row can only be inserted once the table it
    // refers to exists.
    std::string out = "BEGIN TRANSACTION;\n";
    print_create(out, rom, nullptr);
    for (const Table& table : tables) print_create(out, table, nullptr);
    print_rows(out, rom, nullptr);
    for (const Table& table : tables) print_rows(out, table, nullptr);
    out += "COMMIT;\n";
    return out;
}

}  // namespace exporter
