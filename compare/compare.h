// The comparisons' main, shared by both games: two images, or an image and a
// patch applied to it in memory, decoded with the exporters' tables and
// compared cell by cell, then byte by byte outside every table region.
#pragma once

#include <span>

#include "common/cmdline.h"
#include "common/layout.h"
#include "export/exporter.h"

struct CompareInfo {
    HelpText help;
    const ExporterInfo& exporter;  // the title, the game and its tables
    std::span<const TableLayout> tables;  // every table region the loaders read
};

extern const char* const kCompareOptions[3];

// The comparisons' status for any trouble (their main gives it tool_main).
constexpr int kCompareTrouble = 2;

// Exit status as diff and cmp give it: 0 when the tables are the same, 1 when
// they differ, 2 on any trouble (bad command line, an unreadable file, an
// image of another game, a patch refused).
int compare_main(int argc, char** argv, const CompareInfo& info);
