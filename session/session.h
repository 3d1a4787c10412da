// A session: one image opened and its tables held decoded, edited a cell at a
// time as values instead of files. Each edit is checked as the importer
// checks a cell and writes only the bytes of that field; the tables are read
// again from the edited bytes, so that every value shown follows the edits
// (a shared drop table entry, a name, a value computed from others). The
// changes so far are what the comparison finds between the opened image and
// the edited one, and the files made are the importer's for the same edits:
// the edited image with its checksum set, its BPS patch (with the same
// metadata) and its IPS patch.
//
// The session names no game: the registry gives it the game's parts. It
// never prints, touches a file, throws or ends the process.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "common/layout.h"
#include "compare/diff.h"
#include "compare/patch.h"
#include "export/exporter.h"
#include "import/apply.h"
#include "import/importer.h"

namespace session {

// What a session knows of its game.
struct GameParts {
    const exporter::ExporterInfo& exporter;        // title, letter, prefix and tables
    const importer::ImportLayout& layout;          // what can be written
    std::span<const common::TableLayout> regions;  // every table region the loaders read
};

// One column of the schema: its key in the export, its heading as the viewer
// shows it (the report's Japanese heading, else the key), the kind of its
// values ("number", "flag", "text", "labels"), whether a cell may be null,
// the range of a stored number (min..max, in steps of step; none: the index
// that stands for "none", -1 if there is none), the labels a labels cell may
// hold, whether the column is stored (an edit of it can be written), else
// the stored columns it follows (from) and why it cannot be written, and the
// table whose "index" the column refers to.
struct SchemaColumn {
    std::string key;
    std::string heading;
    std::string type;
    bool nullable = false;
    bool stored = false;
    bool ranged = false;  // min, max and step hold the stored range
    long long min = 0;
    long long max = 0;
    long long step = 1;
    long long none = -1;
    std::vector<std::string> values;
    std::vector<std::string> from;
    std::string why;
    std::string references;
};

// A table of the export by its path name ("monsters", nested
// "learning_lists.entries"), its parent's path ("" for a top-level table),
// its CSV file part and its columns in the export's order.
struct SchemaTable {
    std::string name;
    std::string parent;
    std::string file;
    std::vector<SchemaColumn> columns;
};

// An edit that was not made: where (table path, record index or
// "parent/index", key), the value as given, and the words a person editing
// that cell reads ("HP 99999: allowed 0..65535").
struct Refusal {
    std::string table;
    std::string index;
    std::string key;
    std::string value;
    std::string message;
};

// The outputs of a session, as mtNimport -o -p -i makes them: the edited
// image (the file as opened, copier header and all, its checksum set), and
// the BPS and IPS patches from the opened image to it (for the ROM proper,
// or for the file as given with headered). An output that cannot be made
// (an IPS patch of an image over 16 MiB) is left empty, its reason in
// refusals.
struct Files {
    compare::ByteVector image;
    compare::ByteVector bps;
    compare::ByteVector ips;
    std::vector<std::string> refusals;
};

// Which outputs files() makes.
struct Wanted {
    bool image = true;
    bool bps = true;
    bool ips = true;
    bool headered = false;
};

// The schema as the module gives it: {"prefix" (of the export's file names),
// "tables": [{name, parent, file,
// columns: [{key, heading, type, nullable, stored, min, max, step, none,
// values, from, why, references}]}]} (min, max and step null where the
// column has no stored range), one JSON document on one line.
std::string schema_json(const std::vector<SchemaTable>& schema, const char* prefix);

// A refusal as one JSON object {table, index, key, value, message}.
std::string refusal_json(const Refusal& refusal);

class Session {
public:
    // The image (its file's bytes) opened as an image of the game; fails with
    // the importer's words for an image of another game or one too short for
    // its tables (status 1).
    static common::Result<std::unique_ptr<Session>> open(std::string name, compare::ByteVector bytes,
                                                         const GameParts& game);

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    const GameParts& game() const;
    const std::string& name() const;
    // The image as opened (its CRC32s are left empty).
    const importer::OpenedImage& image() const;
    // The rom block of the opened image, as identify and the JSON export
    // give it (one JSON object on one line).
    const std::string& rom_json() const;
    // Every table of the export, top-level ones each followed by its nested
    // ones.
    const std::vector<SchemaTable>& schema() const;

    // The tables as they stand now (the export's descriptions over the
    // edited bytes).
    const std::vector<exporter::Table>& tables() const;
    // The records of a table (by its path name) as the JSON export's
    // "tables" holds them: one JSON array, the rows of a nested table under
    // each parent row's key (the parent's rows' nested arrays for a nested
    // table's name: one array of every parent's rows, each row with
    // "parent"). Fails for a table that is not there (status 2).
    common::Result<std::string> records_json(std::string_view table) const;
    // One record of a top-level table as records_json holds it, nested rows
    // and all. Fails for a table or record that is not there (status 2).
    common::Result<std::string> record_json(std::string_view table, int index) const;

    // Sets one cell: index is the record's index ("12"), or "parent/index"
    // in a nested table; text the cell as typed or as the export writes it
    // (a JSON value's text: true, 12, "name"). Returns the refusal, or
    // nothing when the cell was written (or already held the value).
    std::optional<Refusal> set(std::string_view table, std::string_view index, std::string_view key,
                               std::string_view text);
    // Sets several cells as one step: each checked as set checks it, in
    // order; with any refusal, none of them is written (the bytes as they
    // were before the step). Returns the refusals, empty when all stand.
    struct Cell {
        std::string table, index, key, text;
    };
    std::vector<Refusal> set_all(const std::vector<Cell>& cells);
    // The same, but the field's bits are copied as the ROM proper of another
    // image of the game holds them (source, as large as this image's ROM
    // proper), where text is the value the cell has there: a value the
    // cells cannot spell (a name with a code no character table has) is
    // taken as it stands.
    std::optional<Refusal> copy(std::string_view table, std::string_view index, std::string_view key,
                                std::string_view text, std::span<const uint8_t> source);

    // Sets every cell of edited tables (the importer's reading of edited
    // files), each refusal in the files' words appended to refusals, as
    // importer::apply_edits words them: all of them written, or, with any
    // refusal there, none. Returns how many fields were written.
    size_t apply(const std::vector<importer::EditedTable>& edited, std::vector<std::string>* refusals);

    // Writes bytes at a rom offset as they are, unchecked: bytes outside
    // every table (a merge takes them from its inputs). Bytes past the image
    // are left out.
    void put_rom_bytes(size_t rom_offset, std::span<const uint8_t> bytes);

    // The changed records between the opened image and the edited one, as
    // the comparison finds them, over the snapshots it compared.
    const std::vector<compare::RecordChange>& changes();
    const compare::Snapshot& snapshot_now();
    // The changes as mtNcompare -j's "changes" array (one JSON array).
    std::string changes_json();
    // Whether the edited bytes differ from the opened ones.
    bool changed() const;

    // The outputs asked for.
    Files files(const Wanted& wanted);

private:
    std::optional<Refusal> write(std::string_view table, std::string_view index, std::string_view key,
                                 std::string_view text, const uint8_t* source);
    struct State;
    explicit Session(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace session
