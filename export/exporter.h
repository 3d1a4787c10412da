// The exporters' main, shared by both games: the command line, the ROM image,
// the JSON document, one CSV file per table and the viewer page under the
// destination prefix, and the exit status.
#pragma once

#include <vector>

#include "common/cmdline.h"
#include "common/run_blocks.h"
#include "export/table.h"

struct ExporterInfo {
    HelpText help;
    const char* title;   // the cartridge header title to search for
    const char* game;    // "A" or "B"
    const char* prefix;  // file names: "<prefix>.json", "<prefix>-<table>.csv", "<prefix>.sql", "<prefix>.html"
    // Loads the game's blocks into kept (in the analyzer's loader order),
    // fills every name lookup, and describes the tables.
    std::vector<Table> (*load)(RunBlocks& kept);
    // The same tables without an image: their keys, labels and kinds (their
    // values must not be asked for).
    std::vector<Table> (*describe)();
};

// Option letters of the exporters besides -h: -j the JSON document, -c the
// CSV files, -s the SQL file, -w the viewer page; any of them writes only the
// formats given.
extern const char* const kExporterOptions[5];

// "Too few arguments", "Invalid ROM-Image file - %s", then every output file
// (the JSON document, the CSV files, the SQL file, the viewer page),
// each one that cannot be created or completely written reported as "Cannot
// create file - %s:". Returns the exit status.
int exporter_main(int argc, char** argv, const ExporterInfo& info);
