// The comparisons' main, shared by both games: two images, or an image and a
// patch applied to it in memory, decoded with the exporters' tables and
// compared cell by cell, then byte by byte outside every table region.
#pragma once

#include <span>
#include <string>

#include "common/bytes.h"
#include "common/cmdline.h"
#include "common/error.h"
#include "common/layout.h"
#include "compare/diff.h"
#include "export/exporter.h"
#include "export/rom_table.h"

namespace compare {

struct CompareInfo {
    common::HelpText help;
    const exporter::ExporterInfo& exporter;  // the title, the game and its tables
    std::span<const common::TableLayout> tables;  // every table region the loaders read
};

extern const char* const kCompareOptions[3];

// The comparisons' status for any trouble (their main gives it tool_main).
constexpr int kCompareTrouble = 2;

// An input of a comparison: the name the output calls it by (the path it was
// read from) and its bytes, an image or a patch.
struct Input {
    std::string name;
    ByteVector bytes;
};

// One side of the comparison: its bytes, how they were obtained, and what
// was decoded from them.
struct Side {
    std::string path;
    ByteVector bytes;
    std::string patch;  // how a patched image was made, "" for an image file
    exporter::RomFacts facts;     // the title search and the identity, as the exports give them
    Snapshot tables;
    std::string patched_copy;    // the copy of the old image a patch was applied to
    std::string patch_metadata;  // a BPS patch's metadata

    ByteSpan rom() const;
};

struct Options {
    bool json = false;                // one JSON document instead of text
    bool ips_without_header = false;  // an IPS patch applies to the image without its copier header
};

// What a comparison prints on standard output and its exit status: 0 when
// the tables are the same, 1 when they differ.
struct Outcome {
    int status = 0;
    std::string text;
};

// The old side: an image decoded through the game's tables. Fails (status 2)
// for an image of another game or one too short for its tables.
common::Result<Side> decode_old(const CompareInfo& info, Input image);

// The new side alone: an image, or a patch applied to the old side's bytes
// (an IPS patch to the image without its copier header with
// ips_without_header), decoded. Fails (status 2) for a patch that is not for
// the old image or is damaged, and as decode_old fails.
common::Result<Side> decode_new(const CompareInfo& info, const Side& old, Input now, bool ips_without_header);

// A side's identification as the JSON document gives it: the exports' rom
// block with the file and how a patched image was made (one object on one
// line).
std::string rom_block_json(const Side& side);

// The changes of the records as the JSON document's "changes" lists them
// (over the new side's tables): one JSON array on one line.
std::string changes_json(const Snapshot& tables, const std::vector<RecordChange>& records);

// The new side (an image, or a patch applied to the old side's bytes),
// decoded and compared with the old side.
common::Result<Outcome> compare_with(const CompareInfo& info, const Side& old, Input now, const Options& options);

// Both steps: the comparison of two inputs given as bytes.
common::Result<Outcome> compare_inputs(const CompareInfo& info, Input old, Input now, const Options& options);

// Exit status as diff and cmp give it: 0 when the tables are the same, 1 when
// they differ, 2 on any trouble (bad command line, an unreadable file, an
// image of another game, a patch refused).
int compare_main(int argc, char** argv, const CompareInfo& info);

}  // namespace compare
