// The exporters' main, shared by both games: the command line, the ROM image,
// the JSON document and one CSV file per table under the destination prefix,
// and the exit status.
#pragma once

#include <vector>

#include "common/cmdline.h"
#include "common/run_blocks.h"
#include "export/table.h"

struct ExporterInfo {
    HelpText help;
    const char* title;   // the cartridge header title to search for
    const char* game;    // "A" or "B"
    const char* prefix;  // file names: "<prefix>.json", "<prefix>-<table>.csv"
    // Loads the game's blocks into kept (in the analyzer's loader order),
    // fills every name lookup, and describes the tables.
    std::vector<Table> (*load)(RunBlocks& kept);
    // The same tables without an image: their keys, labels and kinds (their
    // values must not be asked for).
    std::vector<Table> (*describe)();
};

// Option letters of the exporters besides -h: -j writes only the JSON
// document, -c only the CSV files.
extern const char* const kExporterOptions[3];

// "Too few arguments", "Invalid ROM-Image file - %s", then every output file,
// each one that cannot be created or completely written reported as "Cannot
// create file - %s:". Returns the exit status.
int exporter_main(int argc, char** argv, const ExporterInfo& info);
