// The exporters, shared by both games. The core (exporter.cpp) makes the
// export files of an image held in memory: the JSON document, one CSV file
// per table, the SQL file and the viewer page, or the error that the tool
// prints. The shell (exporter_file.cpp) reads the command line and the
// image, writes the files under the destination prefix and gives the exit
// status.
#pragma once

#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/cmdline.h"
#include "common/game.h"
#include "common/names.h"
#include "common/rom.h"
#include "export/table.h"

namespace exporter {

struct ExporterInfo {
    common::HelpText help;
    const char* title;   // the cartridge header title to search for
    const char* game;    // "A" or "B"
    const char* prefix;  // file names: "<prefix>.json", "<prefix>-<table>.csv", "<prefix>.sql", "<prefix>.html"
    long table_span;     // the part of the image read into memory (the analyzer's)
    // The game's tables without an image: their keys, labels and kinds (their
    // values must not be asked for).
    std::vector<Table> (*describe)();
    // Loads the game's tables from the image (in the analyzer's loader order)
    // into a run that kept holds, fills every name table, and describes the
    // tables; or the error of a read past the image.
    common::Result<std::vector<Table>> (*tables)(const common::RomImage& image, std::shared_ptr<const void>& kept);
};

// A name table read through one of its records (any whose name the image
// holds) before any file is written, so that an image too short for the
// table ends the run first.
struct FirstName {
    common::NameLookup::Function name;
    int record = 0;
};

// A game's tables over its analyzer's run: the run loaded (Run::load) and
// kept, the name tables of FirstNames read in order, the tables made by Make
// from the run, and any stored field of the game's (StoredFields) that no
// column shows yet added (add_stored_columns); described: the same without a
// run (Make gets null) and over name tables that no lookup may ask (values
// are not).
template <typename Run, auto Make, const auto& FirstNames, auto StoredFields>
common::Result<std::vector<Table>> run_tables(const common::RomImage& image, std::shared_ptr<const void>& kept) {
    common::Result<Run> loaded = Run::load(image);  // the loaders in the analyzer's order
    if (!loaded) return loaded.error();
    const auto run = std::make_shared<const Run>(std::move(*loaded));
    kept = run;
    for (const FirstName& first : FirstNames) first.name(run->names, first.record);
    std::vector<Table> tables = Make(run.get(), run->names);
    static const std::vector<common::StoredField> fields = StoredFields();
    add_stored_columns(tables, fields, &image);
    return tables;
}
template <auto Make, auto StoredFields>
std::vector<Table> described() {
    static const common::RomImage no_image;
    static const common::NameTables no_names(no_image);
    std::vector<Table> tables = Make(nullptr, no_names);
    add_stored_columns(tables, StoredFields(), nullptr);
    return tables;
}

// Option letters of the exporters besides -h: -j the JSON document, -c the
// CSV files, -s the SQL file, -w the viewer page; any of them writes only the
// formats given.
extern const char* const kExporterOptions[5];

// The exporter of a game (its title, letter and file prefix from game),
// with the exporters' options: its tables made by Make over the analyzer's
// Run, as run_tables and described make them.
template <typename Run, auto Make, const auto& FirstNames, auto StoredFields>
constexpr ExporterInfo game_exporter(const char* banner, const char* usage, const common::Game& game,
                                     long table_span) {
    return {{banner, usage, kExporterOptions, static_cast<int>(std::size(kExporterOptions))},
            game.title, game.letter, game.name, table_span, described<Make, StoredFields>,
            run_tables<Run, Make, FirstNames, StoredFields>};
}

// The game's title without the blanks that pad it ("MERIDIAN TALES2").
std::string trimmed_title(const ExporterInfo& info);

// The formats of an export, as bits: any of them, or every one.
enum Format : unsigned {
    kJson = 1u << 0,   // <prefix>.json
    kCsv = 1u << 1,    // <prefix>-rom.csv, then <prefix>-<table>.csv of every table
    kSql = 1u << 2,    // <prefix>.sql
    kPage = 1u << 3,   // <prefix>.html
    kEvery = kJson | kCsv | kSql | kPage,
};

// One export file: its name in the destination ("mt2.json",
// "mt2-monsters.csv") and its bytes, as the tool writes them.
struct File {
    std::string name;
    std::string bytes;
};

// The export files of the image (the file's bytes, copier header and all)
// in the formats given, in the order the tool writes them; or the error the
// tool prints: "<name> is not an image of <title>: its cartridge header is
// not found" (name: what the image was given by), or "Fatal error in
// fread():" with the system's message for a title too near the end of the
// image or an image too short for a table.
common::Result<std::vector<File>> export_files(std::span<const unsigned char> image, const std::string& name,
                                               const ExporterInfo& game, unsigned formats);

// The rom block of the image, as the JSON document holds it: one JSON
// object on one line (what the title search found, the size, copier header,
// hashes and checksums). Any bytes have one; the error is that of a title
// too near the end of the image.
common::Result<std::string> rom_json(std::span<const unsigned char> image, const ExporterInfo& game);

// "<name> is not an image of <title>: its cartridge header is not found".
common::Error not_an_image(const std::string& name, const ExporterInfo& game);

// Why an opened image (of size bytes) has no tables to read, in the words of
// every tool that reads them: "<name> is not an image of <title>: ..." or
// "<name>: the image ends before its tables: it has N bytes, its tables end
// at byte M"; nothing for an image whose tables are all there.
std::optional<common::Error> without_tables(const std::string& name, const common::RomImage& rom, size_t size,
                                            const ExporterInfo& game);

// The shell: "Too few arguments", "Invalid ROM-Image file - %s", "<path> is not an image
// of <title>: its cartridge header is not found", then every output file
// (the JSON document, the CSV files, the SQL file, the viewer page),
// each one that cannot be created or completely written reported as "Cannot
// create file - %s:" (the others are written). Returns the exit status.
int exporter_main(int argc, char** argv, const ExporterInfo& info);

}  // namespace exporter
