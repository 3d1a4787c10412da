// The exporters' main, shared by both games: the command line, the ROM image,
// the JSON document, one CSV file per table and the viewer page under the
// destination prefix, and the exit status.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/cmdline.h"
#include "common/rom.h"
#include "export/table.h"

struct ExporterInfo {
    HelpText help;
    const char* title;   // the cartridge header title to search for
    const char* game;    // "A" or "B"
    const char* prefix;  // file names: "<prefix>.json", "<prefix>-<table>.csv", "<prefix>.sql", "<prefix>.html"
    long table_span;     // the part of the image read into memory (the analyzer's)
    // Loads the game's tables from the image (in the analyzer's loader order)
    // into a run that kept holds, fills every name table, and describes the
    // tables.
    std::vector<Table> (*load)(const RomImage& image, std::shared_ptr<const void>& kept);
    // The same tables without an image: their keys, labels and kinds (their
    // values must not be asked for).
    std::vector<Table> (*describe)();
};

// Option letters of the exporters besides -h: -j the JSON document, -c the
// CSV files, -s the SQL file, -w the viewer page; any of them writes only the
// formats given.
extern const char* const kExporterOptions[5];

// The game's title without the blanks that pad it ("MERIDIAN TALES2").
std::string trimmed_title(const ExporterInfo& info);

// "Too few arguments", "Invalid ROM-Image file - %s", "<path> is not an image
// of <title>: its cartridge header is not found", then every output file
// (the JSON document, the CSV files, the SQL file, the viewer page),
// each one that cannot be created or completely written reported as "Cannot
// create file - %s:". Returns the exit status.
int exporter_main(int argc, char** argv, const ExporterInfo& info);
