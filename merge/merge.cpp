#include "merge/merge.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

#include <nlohmann/json.hpp>

#include "common/image_id.h"
#include "compare/diff.h"
#include "import/edited.h"

namespace merge {

using compare::Change;
using compare::RecordChange;
using compare::Side;
using Json = nlohmann::ordered_json;

namespace {

constexpr int kTrouble = 2;

common::Error trouble(std::string words) { return common::Error(std::move(words), kTrouble); }

// A field of a record: its table (its place in the snapshot), row and key.
using FieldKey = std::tuple<size_t, int, int, std::string>;

FieldKey key_of(const RecordChange& r, const Change& c) { return {r.table, r.row.parent, r.row.index, c.key}; }

// One field that some inputs change: where, its value in the base, and
// each input's value (empty where the input leaves it).
struct Field {
    RecordChange record;  // the record as the first input that changes it has it (names)
    std::string key;
    std::string old_value;
    std::vector<std::string> values;
    std::optional<std::string> chosen = std::nullopt;  // the merged value (JSON text)
    bool conflict = false;
    bool resolved_by_file = false;
};

// A changed input: its side (decoded, a patch applied), its changes.
struct Changed {
    Side side;
    std::vector<RecordChange> records;
    std::map<FieldKey, std::string> values;  // every changed field's new value
};

// The index a session names a record by: "12", or "parent/index".
std::string index_text(const compare::Snapshot& tables, const RecordChange& r) {
    const std::string own = std::to_string(r.row.index);
    return tables[r.table].parent_table >= 0 ? std::to_string(r.row.parent) + "/" + own : own;
}

// A JSON value as a cell's text, as the export writes cells.
std::string cell_text(const std::string& json) {
    const Json v = Json::parse(json, nullptr, false);
    if (v.is_string()) return v.get<std::string>();
    if (v.is_null() || v.is_discarded()) return "";
    if (v.is_array()) {
        std::string out;
        for (const Json& label : v) {
            if (!out.empty()) out += ' ';
            out += label.is_string() ? label.get<std::string>() : label.dump();
        }
        return out;
    }
    return v.dump();
}

bool stored(const session::Session& s, const std::string& table, const std::string& key) {
    for (const session::SchemaTable& t : s.schema()) {
        if (t.name != table) continue;
        for (const session::SchemaColumn& c : t.columns) {
            if (c.key == key) return c.stored;
        }
    }
    return false;
}

// The base's and an input's ROM proper, the same size.
common::Status same_size(const Side& base, const Side& input) {
    if (input.rom().size() == base.rom().size()) return common::success();
    return trouble(input.path + " is not an image of " + base.path + ": its ROM proper is " +
                   std::to_string(input.rom().size()) + " bytes, the base's " + std::to_string(base.rom().size()));
}

common::Result<Changed> read_input(const compare::CompareInfo& info, const Side& base, compare::Input input) {
    common::Result<Side> side = compare::decode_new(info, base, std::move(input), false);
    if (!side) return side.error();
    if (const common::Status same = same_size(base, *side); !same) return same.error();
    Changed c{std::move(*side), {}, {}};
    c.records = compare::compare_snapshots(base.tables, c.side.tables);
    for (const RecordChange& r : c.records) {
        if (r.added || r.removed) {
            return trouble(c.side.path + ": " + compare::record_label(c.side.tables, r) +
                           (r.added ? " is only in this input" : " is not in this input") +
                           ": a list whose length changes cannot be merged field by field");
        }
        for (const Change& ch : r.changes) c.values[key_of(r, ch)] = ch.new_value;
    }
    return c;
}

// The --resolve file's values by table, index and key.
using Resolutions = std::map<std::tuple<std::string, std::string, std::string>, std::string>;

common::Result<Resolutions> read_resolutions(const Options& options) {
    Resolutions out;
    if (options.resolve_name.empty()) return out;
    const std::string& name = options.resolve_name;
    common::Result<std::string> text = importer::decode_text(std::string(options.resolve.begin(), options.resolve.end()));
    if (!text) return trouble(name + ": " + text.error().lines.front());
    common::Result<std::vector<importer::CsvRecord>> records = importer::parse_csv(*text);
    if (!records) return trouble(name + ": " + records.error().lines.front());
    const std::vector<std::string> header = {"table", "index", "key", "value"};
    if (records->empty() || records->front().fields != header) {
        return trouble(name + ": its first line must be table,index,key,value");
    }
    for (size_t i = 1; i < records->size(); ++i) {
        std::vector<std::string> f = (*records)[i].fields;
        f.resize(4);
        out[{f[0], f[1], f[2]}] = f[3];
    }
    return out;
}

// The fields that the inputs change, in the order the first input to change
// each lists it; only stored fields (the others follow from them).
std::vector<Field> fields_of(const std::vector<Changed>& inputs, const compare::Snapshot& tables,
                             const session::Session& s) {
    std::vector<Field> fields;
    std::map<FieldKey, size_t> at;
    for (size_t i = 0; i < inputs.size(); ++i) {
        for (const RecordChange& r : inputs[i].records) {
            for (const Change& c : r.changes) {
                if (!stored(s, tables[r.table].path, c.key)) continue;
                const auto [found, fresh] = at.try_emplace(key_of(r, c), fields.size());
                if (fresh) fields.push_back({r, c.key, c.old_value, std::vector<std::string>(inputs.size())});
                fields[found->second].values[i] = c.new_value;
            }
        }
    }
    return fields;
}

// Each field's merged value: the one value its inputs give, else the
// resolution's, else the preferred input's; a conflict without either stays
// open (no chosen value).
void choose(std::vector<Field>& fields, const compare::Snapshot& tables, const Resolutions& resolutions,
            const Options& options) {
    for (Field& f : fields) {
        std::set<std::string> distinct;
        for (const std::string& v : f.values) {
            if (!v.empty()) distinct.insert(v);
        }
        f.conflict = distinct.size() > 1;
        if (!f.conflict) {
            f.chosen = *distinct.begin();
            continue;
        }
        const auto resolved = resolutions.find({tables[f.record.table].path, index_text(tables, f.record), f.key});
        if (resolved != resolutions.end()) {
            f.chosen = resolved->second;
            f.resolved_by_file = true;
        } else if (options.prefer > 0) {
            const std::string& preferred = f.values[static_cast<size_t>(options.prefer - 1)];
            f.chosen = preferred.empty() ? f.old_value : preferred;
        }
    }
}

// A byte outside every table: each input's value where it changes it.
struct Byte {
    size_t offset;
    std::vector<std::optional<uint8_t>> values;
    std::optional<uint8_t> chosen = std::nullopt;
    std::vector<int> from = {};
};

// Whether a rom offset is one of the cartridge header's checksum bytes,
// which the merged image has computed, never merged.
bool checksum_byte(const Side& base, size_t offset) {
    const long long header = base.facts.hirom ? common::kHiRomHeaderOffset : common::kLoRomHeaderOffset;
    const long long first = header + common::kChecksumComplementOffset;
    return static_cast<long long>(offset) >= first && static_cast<long long>(offset) < first + 4;
}

std::vector<Byte> bytes_of(const std::vector<Changed>& inputs, const Side& base,
                           std::span<const common::TableLayout> regions, int prefer) {
    std::map<size_t, Byte> bytes;
    for (size_t i = 0; i < inputs.size(); ++i) {
        const compare::ByteSpan rom = inputs[i].side.rom();
        for (const compare::ByteRange& range : compare::unmapped_changes(base.rom(), rom, regions)) {
            for (size_t at = range.offset; at < range.offset + range.length; ++at) {
                if (checksum_byte(base, at)) continue;
                Byte& b = bytes.try_emplace(at, Byte{at, std::vector<std::optional<uint8_t>>(inputs.size())}).first->second;
                b.values[i] = rom[at];
            }
        }
    }
    std::vector<Byte> out;
    for (auto& [at, b] : bytes) {
        std::set<uint8_t> distinct;
        for (const std::optional<uint8_t>& v : b.values) {
            if (v) distinct.insert(*v);
        }
        if (distinct.size() == 1) b.chosen = *distinct.begin();
        else if (prefer > 0) b.chosen = inputs[static_cast<size_t>(prefer - 1)].side.rom()[at];
        for (size_t i = 0; i < b.values.size(); ++i) {
            if (b.chosen && b.values[i] == b.chosen) b.from.push_back(static_cast<int>(i + 1));
        }
        out.push_back(std::move(b));
    }
    return out;
}

// Ranges of neighbouring bytes alike (merged with the same inputs, or in
// conflict).
struct Range {
    size_t offset;
    size_t length;
    std::vector<int> from;
};

std::vector<Range> ranges_of(const std::vector<Byte>& bytes, bool conflicts) {
    std::vector<Range> out;
    for (const Byte& b : bytes) {
        std::set<uint8_t> distinct;
        for (const auto& v : b.values) {
            if (v) distinct.insert(*v);
        }
        if ((distinct.size() > 1) != conflicts) continue;
        const std::vector<int> from = conflicts ? std::vector<int>{} : b.from;
        if (!out.empty() && out.back().offset + out.back().length == b.offset && out.back().from == from) {
            ++out.back().length;
        } else {
            out.push_back({b.offset, 1, from});
        }
    }
    return out;
}

Json numbers(const std::vector<int>& from) { return Json(from); }

std::string inputs_text(const std::vector<int>& from) {
    if (from.empty()) return "(from --resolve)";
    std::string out = "(from ";
    for (size_t i = 0; i < from.size(); ++i) out += (i ? ", " : "") + std::to_string(from[i]);
    return out + ")";
}

// What the report says: the merged changes with the inputs each came from,
// the conflicts with each input's value, the bytes outside the tables.
struct Report {
    const Side& base;
    const std::vector<Changed>& inputs;
    const compare::Snapshot& now;
    const std::vector<RecordChange>& changes;
    const std::vector<Field>& fields;
    const std::vector<Byte>& bytes;
    const char* game;
};

std::vector<int> from_of(const Report& r, const RecordChange& record, const Change& c,
                         const std::map<FieldKey, const Field*>& fields) {
    const auto field = fields.find(key_of(record, c));
    if (field != fields.end() && field->second->resolved_by_file) return {};
    std::vector<int> from;
    for (size_t i = 0; i < r.inputs.size(); ++i) {
        const auto v = r.inputs[i].values.find(key_of(record, c));
        if (v != r.inputs[i].values.end() && v->second == c.new_value) from.push_back(static_cast<int>(i + 1));
    }
    return from;
}

std::string conflict_text(const Field& f) {
    std::string s = "  " + f.key + ": " + f.old_value + " →";
    for (size_t i = 0; i < f.values.size(); ++i) {
        s += (i ? ", " : " ") + std::to_string(i + 1) + ": " + (f.values[i].empty() ? f.old_value : f.values[i]);
    }
    if (f.chosen) s += "; taken: " + *f.chosen;
    return s + "\n";
}

std::string text_report(const Report& r) {
    std::map<FieldKey, const Field*> by_key;
    for (const Field& f : r.fields) by_key[{f.record.table, f.record.row.parent, f.record.row.index, f.key}] = &f;
    std::string s;
    size_t changed = 0;
    for (const RecordChange& record : r.changes) {
        s += compare::record_label(r.now, record) + "\n";
        for (const Change& c : record.changes) {
            std::string line = compare::change_text(c);
            line.pop_back();
            s += line + " " + inputs_text(from_of(r, record, c, by_key)) + "\n";
            ++changed;
        }
    }
    size_t conflicts = 0, open = 0;
    for (const Field& f : r.fields) {
        if (!f.conflict) continue;
        if (!conflicts++) s += "conflicts:\n";
        s += compare::record_label(r.now, f.record) + "\n" + conflict_text(f);
        open += f.chosen ? 0 : 1;
    }
    const std::vector<Range> merged = ranges_of(r.bytes, false), clashing = ranges_of(r.bytes, true);
    size_t merged_bytes = 0, clashing_bytes = 0;
    for (const Range& b : merged) {
        char line[64];
        std::snprintf(line, sizeof line, "  0x%06zX %zu ", b.offset, b.length);
        s += (merged_bytes ? "" : "changed outside the tables (offset in the ROM proper, length):\n") +
             std::string(line) + inputs_text(b.from) + "\n";
        merged_bytes += b.length;
    }
    for (const Range& b : clashing) {
        char line[64];
        std::snprintf(line, sizeof line, "  0x%06zX %zu\n", b.offset, b.length);
        s += (clashing_bytes ? "" : "in conflict outside the tables (offset in the ROM proper, length):\n") + std::string(line);
        clashing_bytes += b.length;
    }
    return s + std::to_string(changed) + (changed == 1 ? " field" : " fields") + " changed, " + std::to_string(conflicts) +
           (conflicts == 1 ? " conflict" : " conflicts") + " (" + std::to_string(open) + " open), " +
           std::to_string(merged_bytes) + " bytes changed and " + std::to_string(clashing_bytes) +
           " in conflict outside the tables\n";
}

Json conflict_object(const Report& r, const Field& f) {
    Json changes = Json::parse(compare::changes_json(r.now, {RecordChange{f.record.table, f.record.row, f.record.old_name,
                                                                          f.record.new_name, f.record.parent_name, false, false,
                                                                          {Change{f.key, f.old_value, f.old_value, false, "null", "null"}}}}));
    Json j = changes.at(0);
    j.erase("new");
    Json values = Json::array();
    for (const std::string& v : f.values) values.push_back(Json::parse(v.empty() ? f.old_value : v));
    j["values"] = std::move(values);
    if (f.chosen) j["new"] = Json::parse(*f.chosen, nullptr, false).is_discarded() ? Json(*f.chosen) : Json::parse(*f.chosen);
    return j;
}

std::string json_report(const Report& r) {
    std::map<FieldKey, const Field*> by_key;
    for (const Field& f : r.fields) by_key[{f.record.table, f.record.row.parent, f.record.row.index, f.key}] = &f;
    Json doc = {{"format", "meridian-tools-merge"}, {"version", 1}, {"game", r.game},
                {"base", Json::parse(compare::rom_block_json(r.base))}};
    Json inputs = Json::array();
    for (const Changed& c : r.inputs) inputs.push_back(Json::parse(compare::rom_block_json(c.side)));
    doc["inputs"] = std::move(inputs);
    Json changes = Json::parse(compare::changes_json(r.now, r.changes));
    size_t n = 0;
    for (const RecordChange& record : r.changes) {
        for (const Change& c : record.changes) changes[n++]["from"] = numbers(from_of(r, record, c, by_key));
    }
    doc["changes"] = std::move(changes);
    Json conflicts = Json::array();
    for (const Field& f : r.fields) {
        if (f.conflict) conflicts.push_back(conflict_object(r, f));
    }
    doc["conflicts"] = std::move(conflicts);
    Json unmapped = Json::array(), clashing = Json::array();
    for (const Range& b : ranges_of(r.bytes, false)) unmapped.push_back({{"offset", b.offset}, {"length", b.length}, {"from", b.from}});
    for (const Range& b : ranges_of(r.bytes, true)) clashing.push_back({{"offset", b.offset}, {"length", b.length}});
    doc["unmapped"] = std::move(unmapped);
    doc["unmapped_conflicts"] = std::move(clashing);
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

// Writes the merged fields and bytes into the session; the refusal of a
// value that cannot be written.
// The ROM proper that a field's chosen value comes from: the first input
// that gives it, else the base (an input preferred that leaves the field).
compare::ByteSpan source_of(const Field& f, const std::vector<Changed>& inputs, const Side& base) {
    for (size_t i = 0; i < inputs.size(); ++i) {
        if (f.values[i] == *f.chosen) return inputs[i].side.rom();
    }
    return base.rom();
}

common::Status write_merged(session::Session& s, const std::vector<Field>& fields, const std::vector<Byte>& bytes,
                            const std::vector<Changed>& inputs, const Side& base, const Options& options) {
    const compare::Snapshot& tables = base.tables;
    for (const Field& f : fields) {
        if (!f.chosen) continue;
        const std::string path = tables[f.record.table].path, index = index_text(tables, f.record);
        // A value of an input is copied from it as its bytes hold it; one
        // from the --resolve file is written as the importer writes a cell.
        const std::string text = f.resolved_by_file ? *f.chosen : cell_text(*f.chosen);
        const std::optional<session::Refusal> refused =
            f.resolved_by_file ? s.set(path, index, f.key, text) : s.copy(path, index, f.key, text, source_of(f, inputs, base));
        if (refused) {
            return trouble((f.resolved_by_file ? options.resolve_name : std::string("merge")) + ": " + path + " " + index +
                           " " + f.key + ": " + refused->message);
        }
    }
    for (const Byte& b : bytes) {
        if (b.chosen) s.put_rom_bytes(b.offset, std::span<const uint8_t>(&*b.chosen, 1));
    }
    return common::success();
}

bool open_conflicts(const std::vector<Field>& fields, const std::vector<Byte>& bytes) {
    return std::any_of(fields.begin(), fields.end(), [](const Field& f) { return !f.chosen; }) ||
           std::any_of(bytes.begin(), bytes.end(), [](const Byte& b) { return !b.chosen; });
}

}  // namespace

common::Result<Merged> merge_inputs(const MergeInfo& info, compare::Input base, std::vector<compare::Input> changed,
                                    const Options& options) {
    const session::GameParts& game = info.game;
    const compare::CompareInfo compare_info{info.help, game.exporter, game.regions};
    if (options.prefer < 0 || options.prefer > static_cast<int>(changed.size())) {
        return trouble("--prefer " + std::to_string(options.prefer) + ": give 1.." + std::to_string(changed.size()));
    }
    common::Result<Side> old = compare::decode_old(compare_info, std::move(base));
    if (!old) return old.error();
    std::vector<Changed> inputs;
    for (compare::Input& input : changed) {
        common::Result<Changed> read = read_input(compare_info, *old, std::move(input));
        if (!read) return read.error();
        inputs.push_back(std::move(*read));
    }
    common::Result<Resolutions> resolutions = read_resolutions(options);
    if (!resolutions) return resolutions.error();
    common::Result<std::unique_ptr<session::Session>> opened = session::Session::open(old->path, old->bytes, game);
    if (!opened) return trouble(opened.error().lines.front());
    session::Session& s = **opened;

    std::vector<Field> fields = fields_of(inputs, old->tables, s);
    choose(fields, old->tables, *resolutions, options);
    const std::vector<Byte> bytes = bytes_of(inputs, *old, game.regions, options.prefer);
    Merged merged;
    merged.status = open_conflicts(fields, bytes) ? 1 : 0;
    // With conflicts open the rest is merged too, for the report.
    if (const common::Status written = write_merged(s, fields, bytes, inputs, *old, options); !written) {
        return written.error();
    }
    const Report report{*old, inputs, s.snapshot_now(), s.changes(), fields, bytes, game.exporter.game};
    merged.text = options.json ? json_report(report) : text_report(report);
    if (merged.status == 0) {
        session::Files files = s.files({true, true, true, options.headered});
        merged.image = std::move(files.image);
        merged.bps = std::move(files.bps);
        merged.ips = std::move(files.ips);
        merged.refusals = std::move(files.refusals);
    }
    return merged;
}

}  // namespace merge
