#include "export/table.h"

#include <memory>
#include <string_view>
#include <vector>
#include <nlohmann/json.hpp>

#include "export/viewer_page.h"

namespace exporter {

using Json = nlohmann::ordered_json;

Value number(long long n) {
    Value v;
    v.kind = Value::kNumber;
    v.number = n;
    return v;
}

Value flag(bool b) {
    Value v;
    v.kind = Value::kFlag;
    v.number = b;
    return v;
}

Value text(const char* s) {
    Value v;
    v.kind = Value::kText;
    v.text = s ? s : "";
    return v;
}

Value bit_labels(int bits, const char* const* labels, int count, BitOrder order) {
    Value v;
    v.kind = Value::kLabels;
    for (int i = 0; i < count; ++i) {
        const int bit = order == BitOrder::kHighestFirst ? count - 1 - i : i;
        if ((bits >> bit) & 1) v.labels.push_back(labels[i]);
    }
    return v;
}

namespace {

Column make_column(Name name, Value::Kind kind, std::function<Value(const Row&)> value) {
    Column c;
    c.key = std::move(name.key);
    c.label = std::move(name.label);
    c.kind = kind;
    c.value = std::move(value);
    return c;
}

}  // namespace

Column index_column() {
    return number_column({"index", "No."}, [](const Row& r) { return r.index; });
}

Column number_column(Name name, std::function<long long(const Row&)> get) {
    return make_column(std::move(name), Value::kNumber, [get](const Row& r) { return number(get(r)); });
}

Column flag_column(Name name, std::function<bool(const Row&)> get) {
    return make_column(std::move(name), Value::kFlag, [get](const Row& r) { return flag(get(r)); });
}

Column text_column(Name name, std::function<const char*(const Row&)> get) {
    return make_column(std::move(name), Value::kText, [get](const Row& r) { return text(get(r)); });
}

Column labels_column(Name name, std::function<int(const Row&)> bits, const char* const* labels, int count,
                     BitOrder order) {
    Column c = make_column(std::move(name), Value::kLabels, [bits, labels, count, order](const Row& r) {
        return bit_labels(bits(r), labels, count, order);
    });
    c.allowed.assign(labels, labels + count);
    return c;
}

void add_reference(Columns& columns, const Name& name, std::function<int(const Row&)> index, const Target& target) {
    Column id = number_column(name, index);
    id.references = target.table;
    id.none = target.none;
    columns.push_back(std::move(id));
    Column named = make_column({name.key + "_name", name.label}, Value::kText, [index, target](const Row& r) {
        const int i = index(r);
        const bool outside = target.table.empty() && (i < 0 || i >= target.count);
        return i == target.none || outside ? Value{} : text(target.name(i));
    });
    named.nullable = target.none >= 0 || target.table.empty();
    columns.push_back(std::move(named));
}

Columns only_where(std::function<bool(const Row&)> applies, Columns columns) {
    for (Column& c : columns) {
        c.value = [applies, get = std::move(c.value)](const Row& r) { return applies(r) ? get(r) : Value{}; };
        c.nullable = true;
    }
    return columns;
}

void append(Columns& columns, Columns more) {
    columns.insert(columns.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

Json to_json(const Value& v) {
    switch (v.kind) {
        case Value::kNumber:
            return v.number;
        case Value::kFlag:
            return v.number != 0;
        case Value::kText:
            return v.text;
        case Value::kLabels: {
            Json list = Json::array();
            for (const char* label : v.labels) list.push_back(label);
            return list;
        }
        case Value::kNull:
            break;
    }
    return nullptr;
}

}  // namespace

std::string flat_text(const Value& v) {
    switch (v.kind) {
        case Value::kNumber:
            return std::to_string(v.number);
        case Value::kFlag:
            return v.number ? "true" : "false";
        case Value::kText:
            return v.text;
        case Value::kLabels: {
            std::string s;
            for (const char* label : v.labels) {
                if (!s.empty()) s += ' ';
                s += label;
            }
            return s;
        }
        case Value::kNull:
            break;
    }
    return "";
}

namespace {

// A row as a JSON object: its columns, then each child table's rows.
Json row_object(const Table& table, const Row& row) {
    Json object = Json::object();
    for (const Column& c : table.columns) object[c.key] = to_json(c.value(row));
    for (const Table& child : table.children) {
        Json rows = Json::array();
        const int n = child.rows(row.index);
        for (int i = 0; i < n; ++i) rows.push_back(row_object(child, {row.index, i}));
        object[child.key] = std::move(rows);
    }
    return object;
}

std::string dump(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

// Where a document goes: text as it is written, piece by piece.
using Sink = std::function<void(std::string_view)>;

Sink string_sink(std::string& out) {
    return [&out](std::string_view s) { out += s; };
}

// JSON inside a script element: '<' occurs only in strings, where \u003c
// stands for it, so no text can close the element or open a comment.
Sink script_sink(std::string& out) {
    return [&out](std::string_view s) {
        for (char c : s) {
            if (c == '<') {
                out += "\\u003c";
            } else {
                out += c;
            }
        }
    };
}

// The document, one record a line:
// {
//   "format": ..., ...,
//   "tables": {
//     "monsters": [
//       {...},
//       ...
//     ],
//     ...
//   }
// }
void print_json(const Sink& out, const char* game, const Table& rom, const std::vector<Table>& tables) {
    out("{\n  \"format\": \"meridian-tools-export\",\n  \"version\": " + std::to_string(kExportVersion) + ",\n");
    out("  \"game\": " + dump(game) + ",\n  \"rom\": " + rom_object(rom) + ",\n  \"tables\": {");
    for (size_t t = 0; t < tables.size(); ++t) {
        const Table& table = tables[t];
        out((t ? ",\n    " : "\n    ") + dump(table.key) + ": [");
        const int n = table.rows(-1);
        for (int i = 0; i < n; ++i) out((i ? ",\n      " : "\n      ") + dump(row_object(table, {-1, i})));
        out(n ? "\n    ]" : "]");
    }
    out("\n  }\n}\n");
}

// What the viewer page knows of a table beyond its records: per column its
// key, its report label, the table a reference points into and the digits of
// a number shown in hexadecimal too, and its nested tables.
Json column_description(const Table& table) {
    Json columns = Json::array();
    for (const Column& c : table.columns) {
        Json column = {{"key", c.key}, {"label", c.label}};
        if (!c.references.empty()) column["references"] = c.references;
        if (c.hex_digits) column["hex"] = c.hex_digits;
        columns.push_back(std::move(column));
    }
    Json children = Json::object();
    for (const Table& child : table.children) children[child.key] = column_description(child);
    return {{"columns", std::move(columns)}, {"children", std::move(children)}};
}

// The page's data: {"rom": description, "tables": {key: description, ...}}
// and the JSON document.
void print_page(std::string& out, const char* game, const Table& rom, const std::vector<Table>& tables) {
    Json described = Json::object();
    for (const Table& table : tables) described[table.key] = column_description(table);
    const Sink page = string_sink(out);
    const Sink data = script_sink(out);
    page(kViewerPage[0]);
    data(dump({{"rom", column_description(rom)}, {"tables", std::move(described)}}));
    page(kViewerPage[1]);
    print_json(data, game, rom, tables);
    page(kViewerPage[2]);
}

void print_csv_record(std::string& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        out += csv_field(fields[i]);
    }
    out += "\r\n";
}

const Column* find_column(const Table& table, const std::string& key) {
    for (const Column& c : table.columns) {
        if (c.key == key) return &c;
    }
    return nullptr;
}

}  // namespace

std::string json_row(const Table& table, const Row& row) { return dump(row_object(table, row)); }

std::string rom_object(const Table& rom) { return json_row(rom, {-1, 0}); }

std::string json_text(const Value& value) {
    // Numbers, flags and nulls are most cells: written without the library,
    // numbers and flags as a flat file writes them.
    if (value.kind == Value::kNumber || value.kind == Value::kFlag) return flat_text(value);
    return value.kind == Value::kNull ? "null" : dump(to_json(value));
}

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string json_document(const char* game, const Table& rom, const std::vector<Table>& tables) {
    std::string out;
    print_json(string_sink(out), game, rom, tables);
    return out;
}

std::string page_document(const char* game, const Table& rom, const std::vector<Table>& tables) {
    std::string out;
    print_page(out, game, rom, tables);
    return out;
}

std::vector<FlatColumn> flat_columns(const Table& table, const Table* parent) {
    std::vector<FlatColumn> flat;
    if (parent) {
        for (const auto& [parent_key, key] : table.parent_keys) {
            flat.push_back({key, find_column(*parent, parent_key), true});
        }
    }
    for (const Column& c : table.columns) flat.push_back({c.key, &c, false});
    return flat;
}

void for_each_flat_row(const Table& table, const Table* parent,
                       const std::function<void(const std::vector<Value>&)>& each) {
    const std::vector<FlatColumn> flat = flat_columns(table, parent);
    std::vector<Value> values;
    const int parents = parent ? parent->rows(-1) : 1;
    for (int p = 0; p < parents; ++p) {
        const int n = table.rows(parent ? p : -1);
        for (int i = 0; i < n; ++i) {
            values.clear();
            const Row row{parent ? p : -1, i};
            for (const FlatColumn& f : flat) values.push_back(f.column->value(f.from_parent ? Row{-1, p} : row));
            each(values);
        }
    }
}

std::string csv_document(const Table& table, const Table* parent) {
    std::string out = kByteOrderMark;
    std::vector<std::string> fields;
    for (const FlatColumn& f : flat_columns(table, parent)) fields.push_back(f.key);
    print_csv_record(out, fields);
    for_each_flat_row(table, parent, [&](const std::vector<Value>& values) {
        fields.clear();
        for (const Value& v : values) fields.push_back(flat_text(v));
        print_csv_record(out, fields);
    });
    return out;
}

std::string key_value_csv_document(const Table& table) {
    std::string out = kByteOrderMark;
    print_csv_record(out, {"key", "value"});
    for (const Column& c : table.columns) {
        const Value v = c.value({-1, 0});
        print_csv_record(out, {c.key, (v.kind == Value::kNull ? "" : c.csv_prefix) + flat_text(v)});
    }
    return out;
}

namespace {

bool shown(const Table& table, const char* key) {
    for (const Column& c : table.columns) {
        if (c.key == key) return true;
    }
    return false;
}

// The field's column over a copy of its records' bytes (none without an
// image, or where the image ends before them).
Column stored_column(const common::StoredField& f, const common::RomImage* image, bool nullable) {
    const common::TableLayout& records = *f.records;
    auto bytes = std::make_shared<std::vector<unsigned char>>();
    if (image) {
        const auto read = image->bytes(records.offset, static_cast<size_t>(records.size()));
        if (read) bytes->assign(*read, *read + records.size());
    }
    const auto record = [bytes, f](const Row& r) -> const unsigned char* {
        const long n = static_cast<long>(r.index) - f.first;
        if (n < 0 || n >= f.records->count || bytes->empty()) return nullptr;
        return bytes->data() + n * f.records->record_size;
    };
    const common::Field field = f.field;
    const bool flag = field.width == 1 && field.scale == 1 && field.bias == 0 && field.sign < 0;
    Column c = make_column(f.key, flag ? Value::kFlag : Value::kNumber, [record, field, flag, f](const Row& r) {
        const unsigned char* at = record(r);
        if (!at) return Value{};
        return flag ? exporter::flag((field.get(at) != 0) != f.inverted) : number(field.get(at));
    });
    c.nullable = nullable;
    return c;
}

}  // namespace

void add_stored_columns(std::vector<Table>& tables, const std::vector<common::StoredField>& fields,
                        const common::RomImage* image) {
    for (const common::StoredField& f : fields) {
        if (f.record_of || f.encode) continue;
        for (Table& t : tables) {
            if (t.file != f.table || shown(t, f.key.key)) continue;
            const bool nullable = f.first > 0 || t.rows(-1) > f.first + f.records->count;
            t.columns.push_back(stored_column(f, image, nullable));
        }
    }
}

}  // namespace exporter
