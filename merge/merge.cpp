#include "merge/merge.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

#include "common/image_id.h"
#include "common/rom.h"
#include "compare/patch.h"
#include "import/edited.h"
#include "merge/plan.h"

namespace merge {

namespace {

using compare::Change;
using compare::RecordChange;
using compare::Side;
using compare::Snapshot;
using compare::TableCells;

common::Error trouble(const std::string& line) { return common::Error(line, kMergeTrouble); }

common::Error as_trouble(common::Error error) {
    error.status = kMergeTrouble;
    return error;
}

// A changed input decoded over the base. An IPS patch, which names no
// image, is applied to the file as given, else (the base has a copier
// header) to the image without it.
common::Result<Side> decode_input(const compare::CompareInfo& info, const Side& base, compare::Input input) {
    const bool ips = compare::patch_format(input.bytes) == compare::PatchFormat::kIps;
    const bool headered = base.facts.identity.copier_header > 0;
    compare::Input again = ips && headered ? input : compare::Input{};
    common::Result<Side> side = compare::decode_new(info, base, std::move(input), false);
    if (!side && ips && headered) {
        common::Result<Side> other = compare::decode_new(info, base, std::move(again), true);
        if (other) return other;
    }
    if (!side) return as_trouble(side.error());
    if (side->rom().size() != base.rom().size()) {
        return trouble(side->path + ": the ROM proper is " + std::to_string(side->rom().size()) + " bytes, that of " +
                       base.path + " " + std::to_string(base.rom().size()) + ": not an image or patch of it");
    }
    return side;
}

size_t key_position(const TableCells& t, const std::string& key) {
    return static_cast<size_t>(std::find(t.keys.begin(), t.keys.end(), key) - t.keys.begin());
}

// The schema's column of a field, null for a key that it does not know.
const session::SchemaColumn* column_of(const session::Session& s, const std::string& table, const std::string& key) {
    for (const session::SchemaTable& t : s.schema()) {
        if (t.name != table) continue;
        for (const session::SchemaColumn& c : t.columns) {
            if (c.key == key) return &c;
        }
    }
    return nullptr;
}

// A record's index as set() takes it: "12", or "parent/index" in a nested table.
std::string index_text(const TableCells& t, const FieldId& id) {
    return (t.parent_table >= 0 ? std::to_string(id.parent) + "/" : "") + std::to_string(id.index);
}

std::string record_text(const TableCells& t, const compare::RecordChange& r) {
    return t.path + " " + index_text(t, {r.table, r.row.parent, r.row.index, 0});
}

// The list key of a nested table's rows under a parent record.
FieldId list_id(const Snapshot& tables, const RecordChange& r) {
    const TableCells& t = tables[r.table];
    return {static_cast<size_t>(t.parent_table), -1, r.row.parent, std::numeric_limits<size_t>::max() - r.table};
}

// The rows of nested table t under parent as one JSON array of objects.
std::string list_json(const Snapshot& tables, size_t t, int parent) {
    using Json = nlohmann::ordered_json;
    const TableCells& cells = tables[t];
    Json rows = Json::array();
    for (size_t r = 0; r < cells.rows.size(); ++r) {
        if (cells.rows[r].parent != parent) continue;
        Json row = Json::object();
        for (size_t k = 0; k < cells.keys.size(); ++k) row[cells.keys[k]] = Json::parse(cells.cell(r, k));
        rows.push_back(std::move(row));
    }
    return rows.dump(-1, ' ', false, Json::error_handler_t::replace);
}

class Planner {
public:
    Planner(const Side& base, const session::Session& session, Plan& plan)
        : base_(base), session_(session), plan_(plan) {}

    // The fields that input changes; fails for a change the merge cannot
    // write (a column that is neither stored nor computed).
    std::optional<common::Error> add_input(size_t input) {
        const Side& side = plan_.inputs[input];
        for (const RecordChange& r : compare::compare_snapshots(base_.tables, side.tables)) {
            if (r.added || r.removed) {
                add_list(input, r);
                continue;
            }
            for (const Change& c : r.changes) {
                if (std::optional<common::Error> error = add_change(input, r, c)) return error;
            }
        }
        return std::nullopt;
    }

    // Marks the conflicts: fields that two inputs set to different values,
    // lists that two inputs change differently. A list that one input alone
    // lengthens or shortens cannot be written.
    std::optional<common::Error> find_conflicts() {
        for (auto& [id, field] : plan_.fields) {
            std::set<std::string> values;
            for (const std::optional<std::string>& v : field.values) {
                if (v) values.insert(*v);
            }
            field.conflict = values.size() > 1 && !field.list;
            if (field.conflict) plan_.choices[id] = {};
        }
        for (auto& [id, list] : plan_.lists) {
            std::set<std::string> values;
            for (const std::string& v : list.values) {
                if (v != list.base) values.insert(v);
            }
            if (values.size() > 1) {
                plan_.choices[id] = {};
                continue;
            }
            return cannot_lengthen(list, static_cast<size_t>(std::find(list.lengthened.begin(), list.lengthened.end(), true) -
                                                             list.lengthened.begin()));
        }
        return std::nullopt;
    }

    common::Error cannot_lengthen(const ListChange& list, size_t input) const {
        return trouble(plan_.inputs[input].path + ": " + record_text(base_.tables[list.record.table], list.record) + " " +
                       list.key + ": entries added or removed, which the merge cannot write (nor can the importer)");
    }

private:
    std::optional<common::Error> add_change(size_t input, const RecordChange& r, const Change& c) {
        const TableCells& t = base_.tables[r.table];
        const session::SchemaColumn* column = column_of(session_, t.path, c.key);
        if (column && !column->stored && !column->from.empty()) return std::nullopt;  // it follows stored ones
        if (!column || !column->stored) {
            return trouble(plan_.inputs[input].path + ": " + record_text(t, r) + " " + c.key +
                           ": a field that the merge cannot write" + (column && !column->why.empty() ? ": " + column->why : ""));
        }
        const FieldId id{r.table, r.row.parent, r.row.index, key_position(t, c.key)};
        auto [at, added] = plan_.fields.try_emplace(id);
        Field& field = at->second;
        if (added) {
            field.record = r;
            field.record.changes.clear();
            field.base = {c.key, c.old_value, c.old_value, c.reference, c.old_name, c.old_name};
            field.values.resize(plan_.inputs.size());
            field.names.resize(plan_.inputs.size());
        }
        field.values[input] = c.new_value;
        field.names[input] = c.new_name;
        return std::nullopt;
    }

    // A record only in the input or only in the base: its list, as each
    // input holds it.
    void add_list(size_t input, const RecordChange& r) {
        const FieldId id = list_id(base_.tables, r);
        auto [at, added] = plan_.lists.try_emplace(id);
        ListChange& list = at->second;
        if (added) {
            const TableCells& t = base_.tables[r.table];
            const TableCells& parent = base_.tables[id.table];
            list.record.table = id.table;
            list.record.row = {-1, r.row.parent};
            list.record.parent_name = "null";
            list.record.old_name = list.record.new_name = r.parent_name;
            (void)parent;
            list.key = t.path.substr(t.path.rfind('.') + 1);
            list.base = list_json(base_.tables, r.table, r.row.parent);
            for (const Side& side : plan_.inputs) list.values.push_back(list_json(side.tables, r.table, r.row.parent));
            list.lengthened.resize(plan_.inputs.size());
        }
        list.lengthened[input] = true;
    }

public:
    // The fields of every list that an input lengthens belong to it.
    void bind_lists() {
        for (auto& [id, field] : plan_.fields) {
            const TableCells& t = base_.tables[id.table];
            if (t.parent_table < 0) continue;
            const FieldId list{static_cast<size_t>(t.parent_table), -1, id.parent,
                               std::numeric_limits<size_t>::max() - id.table};
            if (plan_.lists.count(list)) field.list = list;
        }
    }

private:
    const Side& base_;
    const session::Session& session_;
    Plan& plan_;
};

// The checksum and its complement, which the merged image has computed,
// as rom offsets.
std::pair<size_t, size_t> checksum_bytes(const Side& base) {
    const long long header = base.facts.image_base - base.facts.identity.copier_header +
                             (base.facts.hirom ? common::kHiRomHeaderOffset : common::kLoRomHeaderOffset);
    const size_t from = static_cast<size_t>(header) + common::kChecksumComplementOffset;
    return {from, from + 4};
}

// The bytes outside the tables: each byte that inputs write, all to one
// value, is merged; one that two inputs write differently is a conflict.
void merge_bytes(const Side& base, const compare::CompareInfo& info, Plan& plan) {
    std::vector<compare::ByteRange> all;
    for (const Side& side : plan.inputs) {
        for (const compare::ByteRange& b : compare::unmapped_changes(base.rom(), side.rom(), info.tables)) all.push_back(b);
    }
    std::sort(all.begin(), all.end(), [](const compare::ByteRange& a, const compare::ByteRange& b) { return a.offset < b.offset; });
    const auto [sum_from, sum_to] = checksum_bytes(base);
    const compare::ByteSpan old = base.rom();
    size_t done = 0;
    auto add = [](std::vector<ByteRun>& runs, size_t pos, std::vector<int> from) {
        if (!runs.empty() && runs.back().offset + runs.back().length == pos && runs.back().from == from) {
            ++runs.back().length;
        } else {
            runs.push_back({pos, 1, std::move(from)});
        }
    };
    for (const compare::ByteRange& range : all) {
        for (size_t pos = std::max(done, range.offset); pos < range.offset + range.length; ++pos) {
            if (pos >= sum_from && pos < sum_to) continue;
            std::vector<int> from;
            std::set<unsigned char> values;
            for (size_t i = 0; i < plan.inputs.size(); ++i) {
                const unsigned char now = plan.inputs[i].rom()[pos];
                if (now == old[pos]) continue;
                from.push_back(static_cast<int>(i));
                values.insert(now);
            }
            if (from.empty()) continue;
            add(values.size() > 1 ? plan.byte_conflicts : plan.merged_bytes, pos, values.size() > 1 ? std::vector<int>() : from);
        }
        done = std::max(done, range.offset + range.length);
    }
}

// The byte conflicts settled by --prefer: each byte takes the preferred
// input's value, listed with the inputs that wrote it.
void prefer_bytes(const Side& base, Plan& plan, int prefer) {
    const compare::ByteSpan old = base.rom();
    const compare::ByteSpan chosen = plan.inputs[static_cast<size_t>(prefer)].rom();
    std::vector<ByteRun> merged = plan.merged_bytes;
    for (const ByteRun& run : plan.byte_conflicts) {
        for (size_t pos = run.offset; pos < run.offset + run.length; ++pos) {
            if (chosen[pos] == old[pos]) continue;
            std::vector<int> from;
            for (size_t i = 0; i < plan.inputs.size(); ++i) {
                if (plan.inputs[i].rom()[pos] == chosen[pos]) from.push_back(static_cast<int>(i));
            }
            merged.push_back({pos, 1, from});
        }
    }
    std::sort(merged.begin(), merged.end(), [](const ByteRun& a, const ByteRun& b) { return a.offset < b.offset; });
    plan.merged_bytes.clear();
    for (ByteRun& run : merged) {
        if (!plan.merged_bytes.empty() && plan.merged_bytes.back().offset + plan.merged_bytes.back().length == run.offset &&
            plan.merged_bytes.back().from == run.from) {
            plan.merged_bytes.back().length += run.length;
        } else {
            plan.merged_bytes.push_back(std::move(run));
        }
    }
    plan.byte_conflicts_settled = true;
}

// The record of a field conflict that a resolve line names: its table's
// path, its index ("12" or "parent/index") and key.
std::optional<FieldId> find_conflict(const Plan& plan, const Snapshot& tables, const std::vector<std::string>& f) {
    for (const auto& [id, choice] : plan.choices) {
        if (id.key >= tables[id.table].keys.size()) continue;  // a list
        const TableCells& t = tables[id.table];
        if (t.path == f[0] && index_text(t, id) == f[1] && t.keys[id.key] == f[2]) return id;
    }
    return std::nullopt;
}

// The resolve file's values, each for a field conflict.
std::optional<common::Error> read_resolve(const compare::Input& file, const Snapshot& tables, Plan& plan) {
    std::string text(file.bytes.begin(), file.bytes.end());
    std::string error;
    std::vector<importer::CsvRecord> records;
    if (!importer::decode_text(&text, &error) || !importer::parse_csv(text, &records, &error)) {
        return trouble(file.name + ": " + error);
    }
    for (const importer::CsvRecord& r : records) {
        const std::string where = file.name + ": line " + std::to_string(r.line) + ": ";
        if (r.fields == std::vector<std::string>{"table", "index", "key", "value"}) continue;
        if (r.fields.size() != 4) return trouble(where + "give table,index,key,value");
        const std::optional<FieldId> id = find_conflict(plan, tables, r.fields);
        if (!id) return trouble(where + r.fields[0] + " " + r.fields[1] + " " + r.fields[2] + ": no conflict of the merge");
        plan.choices[*id] = {-1, r.fields[3], true, r.line};
    }
    return std::nullopt;
}

// A JSON text as a cell is typed (as the CSV export writes it): a text
// without its quotes, labels one blank apart, null empty.
std::string cell_text(const std::string& json_text) {
    const nlohmann::json value = nlohmann::json::parse(json_text);
    if (value.is_null()) return "";
    if (value.is_string()) return value.get<std::string>();
    if (!value.is_array()) return value.dump();
    std::string labels;
    for (const nlohmann::json& label : value) labels += (labels.empty() ? "" : " ") + label.get<std::string>();
    return labels;
}

// One cell to write: where, the text, and the words that name its source
// when it is refused.
struct Edit {
    FieldId id;
    std::string text;
    std::string source;
};

// Every field's merged value: the one value of the inputs that change it,
// the chosen input's value or the resolve file's.
std::vector<Edit> edits_of(const Plan& plan, const Options& options) {
    std::vector<Edit> edits;
    for (const auto& [id, field] : plan.fields) {
        const FieldId choice_id = field.list ? *field.list : id;
        const auto choice = plan.choices.find(choice_id);
        std::optional<size_t> input;
        if (choice == plan.choices.end()) {
            for (size_t i = 0; i < field.values.size() && !input; ++i) {
                if (field.values[i]) input = i;
            }
        } else if (choice->second.resolved) {
            edits.push_back({id, choice->second.text,
                             options.resolve->name + ": line " + std::to_string(choice->second.line)});
            continue;
        } else if (choice->second.input >= 0) {
            input = static_cast<size_t>(choice->second.input);
        }
        if (!input || !field.values[*input]) continue;  // the base's value
        edits.push_back({id, cell_text(*field.values[*input]), plan.inputs[*input].path});
    }
    return edits;
}

// Writes the edits; one refused may be written once the others are (a
// field that belongs to the record only once its kind is written).
std::optional<common::Error> write_edits(session::Session& s, const Snapshot& tables, std::vector<Edit> edits) {
    std::optional<common::Error> error;
    for (int pass = 0; pass < 2 && !edits.empty(); ++pass) {
        std::vector<Edit> refused;
        error.reset();
        for (Edit& e : edits) {
            const TableCells& t = tables[e.id.table];
            const std::optional<session::Refusal> r = s.set(t.path, index_text(t, e.id), t.keys[e.id.key], e.text);
            if (!r) continue;
            if (!error) error = trouble(e.source + ": " + r->table + " " + r->index + ": " + r->message);
            refused.push_back(std::move(e));
        }
        edits = std::move(refused);
    }
    return edits.empty() ? std::nullopt : error;
}

std::optional<common::Error> write_bytes(session::Session& s, const Plan& plan) {
    for (const ByteRun& run : plan.merged_bytes) {
        const size_t input = static_cast<size_t>(run.from.front());
        const compare::ByteSpan bytes = plan.inputs[input].rom().subspan(run.offset, run.length);
        if (std::optional<std::string> refused = s.write_bytes(run.offset, bytes)) return trouble(*refused);
    }
    return std::nullopt;
}

std::optional<common::Error> settle(const Options& options, const Snapshot& tables, Plan& plan) {
    if (options.prefer < 0 || static_cast<size_t>(options.prefer) > plan.inputs.size()) {
        return trouble("--prefer " + std::to_string(options.prefer) + ": there is no changed input " +
                       std::to_string(options.prefer) + " (1 to " + std::to_string(plan.inputs.size()) + ")");
    }
    if (options.resolve) {
        if (std::optional<common::Error> error = read_resolve(*options.resolve, tables, plan)) return error;
    }
    if (options.prefer == 0) return std::nullopt;
    for (auto& [id, choice] : plan.choices) {
        if (!choice.resolved) choice.input = options.prefer - 1;
    }
    return std::nullopt;
}

// A list conflict settled by an input that lengthens the list cannot be
// written.
std::optional<common::Error> check_lists(const Planner& planner, const Plan& plan) {
    for (const auto& [id, list] : plan.lists) {
        const Choice& choice = plan.choices.at(id);
        if (choice.input >= 0 && list.lengthened[static_cast<size_t>(choice.input)]) {
            return planner.cannot_lengthen(list, static_cast<size_t>(choice.input));
        }
    }
    return std::nullopt;
}

}  // namespace

size_t Plan::open_conflicts() const {
    size_t open = byte_conflicts_settled ? 0 : byte_conflicts.size();
    for (const auto& [id, choice] : choices) open += !choice.settled();
    return open;
}

const std::string* cell_at(const Snapshot& tables, const FieldId& id) {
    const TableCells& t = tables[id.table];
    const auto at = std::lower_bound(t.rows.begin(), t.rows.end(), exporter::Row{id.parent, id.index},
                                     [](const exporter::Row& a, const exporter::Row& b) {
                                         return a.parent != b.parent ? a.parent < b.parent : a.index < b.index;
                                     });
    if (at == t.rows.end() || at->parent != id.parent || at->index != id.index || id.key >= t.keys.size()) return nullptr;
    return &t.cell(static_cast<size_t>(at - t.rows.begin()), id.key);
}

common::Result<Merged> merge_inputs(const session::GameParts& game, compare::Input base, std::vector<compare::Input> changed,
                                    const Options& options) {
    const compare::CompareInfo info{{nullptr, nullptr, nullptr, 0}, game.exporter, game.regions};
    common::Result<Side> old = compare::decode_old(info, base);
    if (!old) return as_trouble(old.error());
    common::Result<std::unique_ptr<session::Session>> opened = session::Session::open(base.name, std::move(base.bytes), game);
    if (!opened) return as_trouble(opened.error());
    session::Session& s = **opened;

    Plan plan;
    for (compare::Input& input : changed) {
        common::Result<Side> side = decode_input(info, *old, std::move(input));
        if (!side) return side.error();
        plan.inputs.push_back(std::move(*side));
    }
    Planner planner(*old, s, plan);
    for (size_t i = 0; i < plan.inputs.size(); ++i) {
        if (std::optional<common::Error> error = planner.add_input(i)) return *error;
    }
    planner.bind_lists();
    if (std::optional<common::Error> error = planner.find_conflicts()) return *error;
    merge_bytes(*old, info, plan);
    if (std::optional<common::Error> error = settle(options, old->tables, plan)) return *error;
    if (std::optional<common::Error> error = check_lists(planner, plan)) return *error;
    if (options.prefer > 0 && !plan.byte_conflicts.empty()) prefer_bytes(*old, plan, options.prefer - 1);

    // What conflicts leave open keeps the base's value; nothing is made then.
    Merged merged;
    merged.status = plan.open_conflicts() ? kConflicts : 0;
    if (std::optional<common::Error> error = write_edits(s, old->tables, edits_of(plan, options))) return *error;
    if (std::optional<common::Error> error = write_bytes(s, plan)) return *error;
    const std::vector<RecordChange>& changes = s.changes();
    const Outcome outcome{*old, plan, s.snapshot_now(), changes, game.exporter.game, options.prefer};
    merged.report = options.json ? json_report(outcome) : text_report(outcome);
    if (merged.status == 0 && options.make_files) merged.files = s.files(options.wanted);
    return merged;
}

}  // namespace merge
