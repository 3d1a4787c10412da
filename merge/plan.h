// What a merge found before it writes: every field that an input changes
// with each input's value, the conflicts among them and the bytes outside
// the tables; and what the report needs of the merged image.
#pragma once

#include <compare>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compare/compare.h"
#include "compare/diff.h"

namespace merge {

// A field: its table (position in the snapshot), record and key position.
struct FieldId {
    size_t table;
    int parent;
    int index;
    size_t key;

    auto operator<=>(const FieldId&) const = default;
};

// A field that one or more inputs change: the base's value and each
// input's value where it changes it (JSON texts), with a reference's names.
struct Field {
    compare::RecordChange record;  // the record as the first input that changes it shows it, without changes
    compare::Change base;          // key, the base's value and name
    std::vector<std::optional<std::string>> values;
    std::vector<std::string> names;
    bool conflict = false;
    // A field of a list that an input changes in length (its entries added
    // or removed): the list's record, whose conflict settles it.
    std::optional<FieldId> list;

    const std::string& value_of(size_t input) const { return values[input] ? *values[input] : base.old_value; }
    const std::string& name_of(size_t input) const { return values[input] ? names[input] : base.old_name; }
};

// How a conflict was settled: the value of an input (--prefer), a value
// from the resolve file, or not at all.
struct Choice {
    int input = -1;        // the input whose value it takes
    std::string text;      // --resolve: the value as given
    bool resolved = false; // a value from --resolve
    int line = 0;          // its line in the resolve file

    bool settled() const { return input >= 0 || resolved; }
};

// A run of bytes outside the tables: those merged, with the inputs that
// wrote them; or those in conflict.
struct ByteRun {
    size_t offset;
    size_t length;
    std::vector<int> from;  // inputs, from 0
};

// A list whose length an input changes (a learning list's entries added or
// removed), which is merged as one: the record that holds it, the nested
// table's key, and its entries in the base and in each input (a JSON array
// of their rows).
struct ListChange {
    compare::RecordChange record;
    std::string key;
    std::string base;
    std::vector<std::string> values;
    std::vector<bool> lengthened;  // the input changes its length
};

struct Plan {
    std::vector<compare::Side> inputs;
    std::map<FieldId, Field> fields;
    std::map<FieldId, ListChange> lists;  // by the record that holds the list (key: the nested table)
    std::map<FieldId, Choice> choices;  // the conflicts: of fields and of lists
    std::vector<ByteRun> merged_bytes;  // the bytes the merged image takes, by the inputs that wrote them
    std::vector<ByteRun> byte_conflicts;
    bool byte_conflicts_settled = false;  // by --prefer

    size_t open_conflicts() const;
};

// What the report shows of the merged image.
struct Outcome {
    const compare::Side& base;
    const Plan& plan;
    const compare::Snapshot& merged;
    const std::vector<compare::RecordChange>& changes;
    const char* game;
    int prefer;
};

// The report: text, or one JSON document.
std::string text_report(const Outcome& outcome);
std::string json_report(const Outcome& outcome);

// The cell of a field in a snapshot, null when the record is not there.
const std::string* cell_at(const compare::Snapshot& tables, const FieldId& id);

}  // namespace merge
