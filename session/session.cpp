#include "session/session.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <utility>

#include <nlohmann/json.hpp>

#include "common/image_id.h"
#include "common/rom.h"
#include "compare/compare.h"
#include "import/edited.h"
#include "import/importer.h"
#include "import/patch.h"

namespace session {

using exporter::Column;
using exporter::Table;

namespace {

// A table of the export by its schema's place: the table, and its parent
// for a nested one.
struct Place {
    const Table* table = nullptr;
    const Table* parent = nullptr;
};

std::string path_of(const Table& table, const Table* parent) {
    return parent ? parent->key + "." + table.key : table.key;
}

Place find_place(const std::vector<Table>& tables, std::string_view path) {
    for (const Table& t : tables) {
        if (path == t.key) return {&t, nullptr};
        for (const Table& c : t.children) {
            if (path == path_of(c, &t)) return {&c, &t};
        }
    }
    return {};
}

const Column* find_column(const Table& table, std::string_view key) {
    for (const Column& c : table.columns) {
        if (c.key == key) return &c;
    }
    return nullptr;
}

std::string heading_of(const Column& c) { return c.label.empty() ? c.key : c.label; }

const char* type_of(exporter::Value::Kind kind) {
    switch (kind) {
        case exporter::Value::kFlag:
            return "flag";
        case exporter::Value::kText:
            return "text";
        case exporter::Value::kLabels:
            return "labels";
        default:
            return "number";
    }
}

// Whether a column tells the rows of its table apart: the index, a nested
// table's row key.
bool is_row_key(const Table& table, const std::string& key) {
    return key == "index" || std::find(table.row_key.begin(), table.row_key.end(), key) != table.row_key.end();
}

int rows_of(const std::vector<Table>& tables, const std::string& key) {
    for (const Table& t : tables) {
        if (t.key == key) return t.rows(-1);
    }
    return 0;
}

std::vector<std::string> words_of(const char* text) {
    std::vector<std::string> words;
    std::istringstream in(text ? text : "");
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// What the import layout says of a column: its stored range, or the stored
// columns it follows.
void describe_storage(SchemaColumn& s, const Table& table, const std::vector<Table>& tables,
                      const importer::ImportLayout& layout) {
    if (is_row_key(table, s.key)) {
        s.why = "the record's key; records cannot be added or moved";
        return;
    }
    for (const importer::NameColumn& n : layout.names) {
        if (s.key == "name" && table.file == n.table) s.stored = true;
    }
    for (const common::StoredField& c : layout.stored) {
        if (table.file != c.table || s.key != c.key.key) continue;
        long long limit = c.limit >= 0 ? c.limit : c.field.max();
        if (!s.references.empty()) limit = std::min<long long>(limit, rows_of(tables, s.references) - 1);
        // Where records of several layouts share a column (items of each
        // kind), the range that every one of them takes.
        s.min = s.stored && s.ranged ? std::max<long long>(s.min, c.field.min()) : c.field.min();
        s.max = s.stored && s.ranged ? std::min(s.max, limit) : limit;
        s.step = c.field.scale > 1 ? c.field.scale : 1;
        s.ranged = s.type == "number" && !c.encode;
        s.stored = true;
    }
    if (s.stored) return;
    for (const common::ComputedField& c : layout.computed) {
        if (table.file != c.table || s.key != c.key.key) continue;
        s.from = words_of(c.instead);
        s.why = c.why ? c.why : "";
        return;
    }
    if (s.key.size() > 5 && s.key.ends_with("_name")) {
        s.from = {s.key.substr(0, s.key.size() - 5)};
        return;
    }
    s.why = "not a stored field that can be changed";
}

SchemaTable schema_table(const Table& table, const Table* parent, const std::vector<Table>& tables,
                         const importer::ImportLayout& layout) {
    SchemaTable out{path_of(table, parent), parent ? parent->key : "", table.file, {}};
    for (const Column& c : table.columns) {
        SchemaColumn s;
        s.key = c.key;
        s.heading = heading_of(c);
        s.type = type_of(c.kind);
        s.nullable = c.nullable;
        s.none = c.none;
        s.values = c.allowed;
        s.references = c.references;
        describe_storage(s, table, tables, layout);
        out.columns.push_back(std::move(s));
    }
    return out;
}

bool whole(std::string_view text, int* n) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *n);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The record that index names: "12", or "parent/index" in a nested table.
bool find_record(const Place& place, std::string_view index, exporter::Row* row) {
    const size_t slash = index.find('/');
    if (!place.parent) {
        return slash == std::string_view::npos && whole(index, &row->index) && row->index >= 0 &&
               row->index < place.table->rows(-1);
    }
    if (slash == std::string_view::npos) return false;
    return whole(index.substr(0, slash), &row->parent) && row->parent >= 0 && row->parent < place.parent->rows(-1) &&
           whole(index.substr(slash + 1), &row->index) && row->index >= 0 && row->index < place.table->rows(row->parent);
}

std::string records_range(const Place& place) {
    if (!place.parent) return "0.." + std::to_string(place.table->rows(-1) - 1);
    return "parent/index, parent 0.." + std::to_string(place.parent->rows(-1) - 1);
}

// The edit as a one-row table of the importer's: the row's keys as the
// export writes them and the one cell, the columns under their headings.
importer::EditedTable edit_of(const Place& place, const exporter::Row& row, const Column& column,
                              std::string_view text) {
    importer::EditedTable edit;
    edit.table = place.table->file;
    edit.cell_words = true;
    const std::vector<exporter::FlatColumn> flat = exporter::flat_columns(*place.table, place.parent);
    edit.add_row(1);
    for (const exporter::FlatColumn& f : flat) {
        const size_t at = edit.columns.size();
        edit.columns.push_back(f.key);
        edit.spelled.push_back(heading_of(*f.column));
        if (f.column == &column) {
            edit.add_cell(at, text);
        } else if (place.parent && f.from_parent && f.key == place.table->parent_keys.front().second) {
            edit.add_cell(at, std::to_string(row.parent));
        } else if (!f.from_parent && is_row_key(*place.table, f.key)) {
            edit.add_cell(at, exporter::flat_text(f.column->value(row)));
        }
    }
    return edit;
}

std::string ips_name(const std::string& image) {
    const size_t slash = image.find_last_of("/\\");
    const size_t dot = image.find_last_of('.');
    const bool has_dot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (has_dot ? image.substr(0, dot) : image) + ".ips";
}

}  // namespace

std::string schema_json(const std::vector<SchemaTable>& schema, const char* prefix) {
    using Json = nlohmann::ordered_json;
    Json tables = Json::array();
    for (const SchemaTable& t : schema) {
        Json columns = Json::array();
        for (const SchemaColumn& c : t.columns) {
            const Json unranged;
            columns.push_back({{"key", c.key}, {"heading", c.heading}, {"type", c.type}, {"nullable", c.nullable},
                               {"stored", c.stored}, {"min", c.ranged ? Json(c.min) : unranged},
                               {"max", c.ranged ? Json(c.max) : unranged}, {"step", c.ranged ? Json(c.step) : unranged},
                               {"none", c.none >= 0 ? Json(c.none) : unranged}, {"values", c.values},
                               {"from", c.from}, {"why", c.why},
                               {"references", c.references.empty() ? unranged : Json(c.references)}});
        }
        tables.push_back({{"name", t.name}, {"parent", t.parent.empty() ? Json() : Json(t.parent)}, {"file", t.file},
                          {"columns", std::move(columns)}});
    }
    return Json{{"prefix", prefix}, {"tables", std::move(tables)}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string refusal_json(const Refusal& r) {
    using Json = nlohmann::ordered_json;
    return Json{{"table", r.table}, {"index", r.index}, {"key", r.key}, {"value", r.value}, {"message", r.message}}
        .dump(-1, ' ', false, Json::error_handler_t::replace);
}

struct Session::State {
    const GameParts& game;
    importer::OpenedImage image;  // the image as opened
    compare::ByteVector edited;   // its bytes with the edits (never resized: rom reads them)
    common::RomImage rom;         // over edited
    std::string rom_json;  // made when first asked for: it hashes the whole file
    std::vector<SchemaTable> schema;
    std::optional<uint32_t> source_crc[2];  // of the opened image without and with its copier header
    std::optional<compare::Snapshot> before;  // the opened image's cells, once the changes are asked for
    // The tables over the edited bytes, read again after an edit.
    std::shared_ptr<const void> kept;
    std::vector<Table> tables;
    bool stale = false;
    std::vector<compare::RecordChange> changes;
    compare::Snapshot now;
    bool changes_stale = true;
    // Within set_all: the tables are read once for every cell of the step,
    // as the importer reads them once for every cell of its files.
    bool batch = false;

    State(const GameParts& g, importer::OpenedImage opened) : game(g), image(std::move(opened)) {}

    common::Status load() {
        std::shared_ptr<const void> fresh;
        common::Result<std::vector<Table>> loaded = game.exporter.tables(rom, fresh);
        if (!loaded) return loaded.error();
        tables = std::move(*loaded);
        kept = std::move(fresh);
        stale = false;
        return common::success();
    }

    // The opened image's cells, read from its own bytes when first needed.
    const compare::Snapshot& original() {
        if (!before) {
            common::RomImage opened;
            std::shared_ptr<const void> held;
            const exporter::ExporterInfo& e = game.exporter;
            common::Result<std::vector<Table>> loaded =
                opened.open_memory(image.bytes.data(), image.bytes.size(), e.title, e.table_span)
                    ? game.exporter.tables(opened, held)
                    : common::Result<std::vector<Table>>(common::Error("the opened image cannot be read"));
            // The image loaded when it was opened: it loads again (else, for
            // safety, no changes are found rather than changes of nothing).
            before = loaded ? compare::take_snapshot(*loaded) : now;
        }
        return *before;
    }

    void refresh() {
        if (stale && !batch) (void)load();  // the edited bytes hold what the opened ones held: they load as those did
    }
};

Session::Session(std::unique_ptr<State> state) : state_(std::move(state)) {}
Session::~Session() = default;

common::Result<std::unique_ptr<Session>> Session::open(std::string name, compare::ByteVector bytes,
                                                       const GameParts& game) {
    importer::OpenedImage image{std::move(name), std::move(bytes), 0, 0, 0, {}, {}};
    auto state = std::make_unique<State>(game, std::move(image));
    common::RomImage opened;
    if (const common::Status status = importer::open_image(state->image, game.exporter, opened, false); !status) {
        return status.error();
    }
    state->edited = state->image.bytes;
    const exporter::ExporterInfo& e = game.exporter;
    if (const common::Status status = state->rom.open_memory(state->edited.data(), state->edited.size(), e.title,
                                                             e.table_span);
        !status) {
        return status.error();
    }
    if (const common::Status loaded = state->load(); !loaded) return loaded.error();
    for (const Table& t : state->tables) {
        state->schema.push_back(schema_table(t, nullptr, state->tables, game.layout));
        for (const Table& c : t.children) state->schema.push_back(schema_table(c, &t, state->tables, game.layout));
    }
    return std::unique_ptr<Session>(new Session(std::move(state)));
}

const GameParts& Session::game() const { return state_->game; }
const importer::OpenedImage& Session::image() const { return state_->image; }
const std::string& Session::name() const { return state_->image.path; }
const std::string& Session::rom_json() const {
    State& s = *state_;
    if (s.rom_json.empty()) {
        // Any image the session opened is one whose rom block can be made.
        common::Result<std::string> rom = exporter::rom_json(s.image.bytes, s.game.exporter);
        if (rom) s.rom_json = std::move(*rom);
    }
    return s.rom_json;
}
const std::vector<SchemaTable>& Session::schema() const { return state_->schema; }

const std::vector<Table>& Session::tables() const {
    state_->refresh();
    return state_->tables;
}

common::Result<std::string> Session::records_json(std::string_view table) const {
    const Place place = find_place(tables(), table);
    if (!place.table) return common::Error("no table \"" + std::string(table) + "\"", 2);
    std::string out = "[";
    const auto add = [&out](const std::string& row) {
        if (out.size() > 1) out += ',';
        out += row;
    };
    if (!place.parent) {
        for (int i = 0; i < place.table->rows(-1); ++i) add(exporter::json_row(*place.table, {-1, i}));
    } else {
        for (int p = 0; p < place.parent->rows(-1); ++p) {
            for (int i = 0; i < place.table->rows(p); ++i) {
                const std::string row = exporter::json_row(*place.table, {p, i});
                add("{\"parent\":" + std::to_string(p) + (row.size() > 2 ? "," : "") + row.substr(1));
            }
        }
    }
    return out + "]";
}

common::Result<std::string> Session::record_json(std::string_view table, int index) const {
    const Place place = find_place(tables(), table);
    if (!place.table || place.parent) return common::Error("no table \"" + std::string(table) + "\"", 2);
    if (index < 0 || index >= place.table->rows(-1)) {
        return common::Error("no record " + std::to_string(index) + " in " + std::string(table), 2);
    }
    return exporter::json_row(*place.table, {-1, index});
}

std::optional<Refusal> Session::set(std::string_view table, std::string_view index, std::string_view key,
                                    std::string_view text) {
    return write(table, index, key, text, nullptr);
}

std::vector<Refusal> Session::set_all(const std::vector<Cell>& cells) {
    State& s = *state_;
    const compare::ByteVector before = s.edited;
    std::vector<Refusal> refusals;
    s.refresh();
    s.batch = true;
    for (const Cell& c : cells) {
        if (std::optional<Refusal> refused = set(c.table, c.index, c.key, c.text)) refusals.push_back(std::move(*refused));
    }
    s.batch = false;
    if (!refusals.empty() && s.edited != before) {
        std::copy(before.begin(), before.end(), s.edited.begin());  // rom reads s.edited where it lies
        s.stale = true;
        s.changes_stale = true;
    }
    return refusals;
}

std::optional<Refusal> Session::copy(std::string_view table, std::string_view index, std::string_view key,
                                     std::string_view text, std::span<const uint8_t> source) {
    if (source.size() != state_->edited.size() - state_->image.base) {
        return Refusal{std::string(table), std::string(index), std::string(key), std::string(text),
                       "the image copied from is not as large as this one"};
    }
    return write(table, index, key, text, source.data());
}

std::optional<Refusal> Session::write(std::string_view table, std::string_view index, std::string_view key,
                                      std::string_view text, const uint8_t* source) {
    State& s = *state_;
    Refusal refusal{std::string(table), std::string(index), std::string(key), std::string(text), {}};
    const Place place = find_place(tables(), table);
    exporter::Row row{-1, -1};
    const Column* column = place.table ? find_column(*place.table, key) : nullptr;
    if (!place.table) {
        refusal.message = "no table \"" + refusal.table + "\"";
    } else if (!find_record(place, index, &row)) {
        refusal.message = "no record \"" + refusal.index + "\" in " + refusal.table + ": it has " + records_range(place);
    } else if (!column) {
        refusal.message = "no column \"" + refusal.key + "\" in " + refusal.table;
    } else if (is_row_key(*place.table, column->key)) {
        refusal.message = heading_of(*column) + " is the record's key and cannot be changed";
    }
    if (!refusal.message.empty()) return refusal;
    const std::vector<importer::EditedTable> edits = {edit_of(place, row, *column, text)};
    std::vector<std::string> refusals;
    // A refused cell writes nothing: the field is written once it is checked.
    const size_t written = importer::apply_edits(edits, s.tables, s.game.layout, s.edited.data() + s.image.base,
                                                 s.edited.size() - s.image.base, &refusals, source);
    if (!refusals.empty()) {
        for (const std::string& r : refusals) refusal.message += (refusal.message.empty() ? "" : "\n") + r;
        return refusal;
    }
    if (written) {
        s.stale = true;
        s.changes_stale = true;
    }
    return std::nullopt;
}

size_t Session::apply(const std::vector<importer::EditedTable>& edited, std::vector<std::string>* refusals) {
    State& s = *state_;
    if (edited.empty()) return 0;
    s.refresh();
    // Written in place on an image not edited yet (the opened bytes put back
    // on a refusal), else on a copy of the edited bytes.
    const bool first = !changed();
    // The cells of the opened image, while the tables are still its own.
    if (first && !s.before) s.before = compare::take_snapshot(s.tables);
    compare::ByteVector copy;
    if (!first) copy = s.edited;
    compare::ByteVector& bytes = first ? s.edited : copy;
    const size_t written = importer::apply_edits(edited, s.tables, s.game.layout, bytes.data() + s.image.base,
                                                 bytes.size() - s.image.base, refusals);
    if (!refusals->empty()) {
        if (first) std::copy(s.image.bytes.begin(), s.image.bytes.end(), s.edited.begin());
        return 0;  // none of them written
    }
    if (!written) return 0;
    if (!first) std::copy(copy.begin(), copy.end(), s.edited.begin());  // rom reads s.edited where it lies
    s.stale = true;
    s.changes_stale = true;
    return written;
}

void Session::put_rom_bytes(size_t rom_offset, std::span<const uint8_t> bytes) {
    State& s = *state_;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const size_t at = s.image.base + rom_offset + i;
        if (at >= s.edited.size() || s.edited[at] == bytes[i]) continue;
        s.edited[at] = bytes[i];
        s.stale = true;
        s.changes_stale = true;
    }
}

const std::vector<compare::RecordChange>& Session::changes() {
    State& s = *state_;
    if (s.changes_stale) {
        s.now = compare::take_snapshot(tables());
        s.changes = compare::compare_snapshots(s.original(), s.now);
        s.changes_stale = false;
    }
    return s.changes;
}

const compare::Snapshot& Session::snapshot_now() {
    changes();
    return state_->now;
}

std::string Session::changes_json() { return compare::changes_json(snapshot_now(), changes()); }

bool Session::changed() const { return state_->edited != state_->image.bytes; }

Files Session::files(const Wanted& wanted) {
    State& s = *state_;
    compare::ByteVector edited = s.edited;
    if (changed()) importer::set_checksum(edited, s.image.base, s.image.header_pos);
    Files out;
    const size_t patch_from = wanted.headered ? 0 : s.image.copier;
    std::optional<uint32_t>& source_crc = s.source_crc[wanted.headered ? 1 : 0];
    if (!source_crc) source_crc = common::crc32_of(s.image.bytes.data() + patch_from, s.image.bytes.size() - patch_from);
    // The checksum is no cell: the changes of the edited bytes are the
    // edited image's.
    const std::vector<compare::RecordChange>& records = changes();
    const importer::Made made{s.image.bytes, edited, patch_from,
                              importer::patch_metadata(s.game.exporter, s.now, records), source_crc};
    if (wanted.bps) out.bps = importer::output_of('p', made);
    if (wanted.ips) {
        if (std::optional<std::string> no = importer::no_ips_patch(ips_name(s.image.path), s.image, patch_from)) {
            out.refusals.push_back(*no);
        } else {
            out.ips = importer::output_of('i', made);
        }
    }
    if (wanted.image) out.image = std::move(edited);
    return out;
}

}  // namespace session
