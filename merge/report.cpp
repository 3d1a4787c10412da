// The merge's report: the merged changes as the comparison lists them, each
// with the inputs it came from, then the conflicts with each input's value,
// then a count line; or all of it as one JSON document.
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "merge/plan.h"

namespace merge {

namespace {

using compare::Change;
using compare::RecordChange;
using compare::TableCells;
using Json = nlohmann::ordered_json;

std::string dump(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

FieldId field_of(const compare::Snapshot& tables, const RecordChange& r, const Change& c) {
    const TableCells& t = tables[r.table];
    const size_t key = static_cast<size_t>(std::find(t.keys.begin(), t.keys.end(), c.key) - t.keys.begin());
    return {r.table, r.row.parent, r.row.index, key};
}

// The inputs (from 0) that a merged change came from: those that hold its
// new value; none for a value from the resolve file.
std::vector<int> sources(const Outcome& o, const RecordChange& r, const Change& c) {
    const FieldId id = field_of(o.merged, r, c);
    const auto choice = o.plan.choices.find(id);
    if (choice != o.plan.choices.end() && choice->second.resolved) return {};
    std::vector<int> from;
    for (size_t i = 0; i < o.plan.inputs.size(); ++i) {
        const std::string* cell = cell_at(o.plan.inputs[i].tables, id);
        if (cell && *cell == c.new_value) from.push_back(static_cast<int>(i));
    }
    return from;
}

std::string numbers(const std::vector<int>& inputs) {
    std::string s;
    for (int i : inputs) s += (s.empty() ? "" : ", ") + std::to_string(i + 1);
    return s;
}

Json numbers_json(const std::vector<int>& inputs) {
    Json a = Json::array();
    for (int i : inputs) a.push_back(i + 1);
    return a;
}

// A value as the comparison's text shows it: a reference with its name.
std::string shown(const std::string& value, const std::string& name, bool reference) {
    return reference && name != "null" ? value + " " + name : value;
}

// The record a conflict names, by the base's names.
RecordChange conflict_record(const RecordChange& r) {
    RecordChange label = r;
    label.new_name = label.old_name;
    label.added = label.removed = false;
    return label;
}

// How a settled conflict was settled.
std::string settled_text(const Outcome& o, const Choice& choice, const std::string& value) {
    if (!choice.settled()) return "";
    return "; takes " + value + (choice.resolved ? " (--resolve)" : " (--prefer " + std::to_string(o.prefer) + ")");
}

// The merged value of a field (the base's when the merged image keeps it).
std::string merged_value(const Outcome& o, const FieldId& id) {
    const std::string* cell = cell_at(o.merged, id);
    return cell ? *cell : "null";
}

std::string byte_line(const ByteRun& run, const std::string& tail) {
    char line[64];
    snprintf(line, sizeof line, "  0x%06zX %zu", run.offset, run.length);
    return line + tail + "\n";
}

size_t bytes_in(const std::vector<ByteRun>& runs) {
    size_t n = 0;
    for (const ByteRun& r : runs) n += r.length;
    return n;
}

void field_conflict_text(std::string& out, const Outcome& o, const FieldId& id, const Choice& choice) {
    const Field& f = o.plan.fields.at(id);
    std::string line = "  " + f.base.key + ": " + shown(f.base.old_value, f.base.old_name, f.base.reference) + " →";
    for (size_t i = 0; i < f.values.size(); ++i) {
        line += std::string(i ? "," : "") + " " + std::to_string(i + 1) + ": " + shown(f.value_of(i), f.name_of(i), f.base.reference);
    }
    out += line + settled_text(o, choice, merged_value(o, id)) + "\n";
}

void list_conflict_text(std::string& out, const Outcome& o, const ListChange& list, const Choice& choice) {
    auto entries = [](const std::string& json) { return std::to_string(Json::parse(json).size()) + " entries"; };
    std::string line = "  " + list.key + ": " + entries(list.base) + " →";
    for (size_t i = 0; i < list.values.size(); ++i) {
        line += std::string(i ? "," : "") + " " + std::to_string(i + 1) + ": " + entries(list.values[i]) +
                (list.values[i] == list.base ? " (unchanged)" : "");
    }
    const std::string taken = choice.input >= 0 ? "the entries of " + std::to_string(choice.input + 1) : "";
    out += line + settled_text(o, choice, taken) + "\n";
}

const RecordChange& conflict_owner(const Outcome& o, const FieldId& id) {
    const auto list = o.plan.lists.find(id);
    return list != o.plan.lists.end() ? list->second.record : o.plan.fields.at(id).record;
}

void conflicts_text(std::string& out, const Outcome& o) {
    if (o.plan.choices.empty()) return;
    out += "\nconflicts:\n";
    std::string last;
    for (const auto& [id, choice] : o.plan.choices) {
        const std::string label = compare::record_label(o.base.tables, conflict_record(conflict_owner(o, id)));
        if (label != last) out += label + "\n";
        last = label;
        const auto list = o.plan.lists.find(id);
        if (list != o.plan.lists.end()) {
            list_conflict_text(out, o, list->second, choice);
        } else {
            field_conflict_text(out, o, id, choice);
        }
    }
}

std::string input_name(const compare::Side& side) { return side.patch.empty() ? side.path : side.patch; }

}  // namespace

std::string text_report(const Outcome& o) {
    std::string out = "base: " + o.base.path + "\n";
    for (size_t i = 0; i < o.plan.inputs.size(); ++i) {
        out += "input " + std::to_string(i + 1) + ": " + input_name(o.plan.inputs[i]) + "\n";
    }
    size_t fields = 0;
    for (const RecordChange& r : o.changes) {
        out += "\n" + compare::record_label(o.merged, r) + "\n";
        for (const Change& c : r.changes) {
            const std::vector<int> from = sources(o, r, c);
            const std::string line = compare::change_text(c);
            const std::string tail = from.empty() ? "" : " (from " + numbers(from) + ")";
            out += line.substr(0, line.size() - 1) + tail + "\n";
            ++fields;
        }
    }
    if (!o.plan.merged_bytes.empty()) out += "\nchanged outside the tables (offset in the ROM proper, length):\n";
    for (const ByteRun& run : o.plan.merged_bytes) out += byte_line(run, " (from " + numbers(run.from) + ")");
    conflicts_text(out, o);
    if (!o.plan.byte_conflicts.empty()) out += "\nconflicts outside the tables (offset in the ROM proper, length):\n";
    const std::string settled = o.plan.byte_conflicts_settled ? " (--prefer " + std::to_string(o.prefer) + ")" : "";
    for (const ByteRun& run : o.plan.byte_conflicts) out += byte_line(run, settled);
    const size_t open = o.plan.open_conflicts();
    out += "\n" + std::to_string(fields) + " fields changed, " + std::to_string(o.plan.choices.size()) + " conflicts, " +
           std::to_string(bytes_in(o.plan.merged_bytes)) + " bytes changed outside the tables, " +
           std::to_string(bytes_in(o.plan.byte_conflicts)) + " bytes in conflict outside the tables\n";
    if (open) out += std::to_string(open) + " conflicts remain: nothing written\n";
    return out;
}

namespace {

Json record_json(const compare::Snapshot& tables, const RecordChange& r, const std::string& key) {
    const TableCells& t = tables[r.table];
    Json j = Json::object();
    j["table"] = t.path;
    if (t.parent_table >= 0) j["parent"] = r.row.parent;
    j["index"] = r.row.index;
    j["name"] = Json::parse(r.removed ? r.old_name : r.new_name);
    j["key"] = key;
    return j;
}

Json change_json(const Outcome& o, const RecordChange& r, const Change& c) {
    Json j = record_json(o.merged, r, c.key);
    j["old"] = Json::parse(c.old_value);
    j["new"] = Json::parse(c.new_value);
    if (c.reference) {
        j["old_name"] = Json::parse(c.old_name);
        j["new_name"] = Json::parse(c.new_name);
    }
    j["from"] = numbers_json(sources(o, r, c));
    return j;
}

Json conflict_json(const Outcome& o, const FieldId& id, const Choice& choice) {
    const auto list = o.plan.lists.find(id);
    if (list != o.plan.lists.end()) {
        const ListChange& l = list->second;
        Json j = record_json(o.base.tables, conflict_record(l.record), l.key);
        j["old"] = Json::parse(l.base);
        j["values"] = Json::array();
        for (const std::string& v : l.values) j["values"].push_back(Json::parse(v));
        if (choice.settled()) j["new"] = Json::parse(l.values[static_cast<size_t>(choice.input)]);
        return j;
    }
    const Field& f = o.plan.fields.at(id);
    Json j = record_json(o.base.tables, conflict_record(f.record), f.base.key);
    j["old"] = Json::parse(f.base.old_value);
    j["values"] = Json::array();
    for (size_t i = 0; i < f.values.size(); ++i) j["values"].push_back(Json::parse(f.value_of(i)));
    if (choice.settled()) j["new"] = Json::parse(merged_value(o, id));
    return j;
}

// One array of the document: its objects one a line.
std::string array_text(const char* key, const std::vector<Json>& items, bool last = false) {
    std::string s = std::string("  \"") + key + "\": [";
    const char* sep = "\n    ";
    for (const Json& item : items) {
        s += sep + dump(item);
        sep = ",\n    ";
    }
    s += items.empty() ? "]" : "\n  ]";
    return s + (last ? "\n" : ",\n");
}

Json byte_json(const ByteRun& run, bool with_from) {
    Json j{{"offset", run.offset}, {"length", run.length}};
    if (with_from) j["from"] = numbers_json(run.from);
    return j;
}

}  // namespace

std::string json_report(const Outcome& o) {
    std::vector<Json> inputs, changes, conflicts, unmapped, unmapped_conflicts;
    for (const compare::Side& side : o.plan.inputs) inputs.push_back(Json::parse(compare::rom_block_json(side)));
    for (const RecordChange& r : o.changes) {
        for (const Change& c : r.changes) changes.push_back(change_json(o, r, c));
    }
    for (const auto& [id, choice] : o.plan.choices) conflicts.push_back(conflict_json(o, id, choice));
    for (const ByteRun& run : o.plan.merged_bytes) unmapped.push_back(byte_json(run, true));
    for (const ByteRun& run : o.plan.byte_conflicts) unmapped_conflicts.push_back(byte_json(run, false));
    return "{\n  \"format\": \"meridian-tools-merge\",\n  \"version\": 1,\n  \"game\": " + dump(o.game) +
           ",\n  \"base\": " + compare::rom_block_json(o.base) + ",\n" + array_text("inputs", inputs) +
           array_text("changes", changes) + array_text("conflicts", conflicts) + array_text("unmapped", unmapped) +
           array_text("unmapped_conflicts", unmapped_conflicts, true) + "}\n";
}

}  // namespace merge
