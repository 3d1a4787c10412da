// Several people's changes of one base merged field by field: each changed
// input (an image of the base, or an IPS, UPS or BPS patch of it) compared
// with the base as the comparison compares them, every field that one or
// more inputs change to one value taken, a field that two inputs set to
// different values a conflict (named by table, record, key and each input's
// value), bytes outside every table merged byte by byte. The merged fields
// are written through a session, so that each is checked and written as the
// importer writes a cell, and the image and patches are the importer's.
#pragma once

#include <string>
#include <vector>

#include "common/cmdline.h"
#include "common/error.h"
#include "compare/compare.h"
#include "session/session.h"

namespace merge {

struct MergeInfo {
    common::HelpText help;
    const session::GameParts& game;
};

struct Options {
    bool json = false;      // the report as one JSON document
    bool headered = false;  // patches for the file as given, not the ROM proper
    int prefer = 0;         // every conflict takes the value of changed input prefer (from 1); 0: none
    // The --resolve file (table,index,key,value records): its name as given
    // and its bytes; no name: none.
    std::string resolve_name;
    compare::ByteVector resolve;
};

struct Merged {
    int status = 0;    // 0: merged; 1: conflicts remain (nothing to write)
    std::string text;  // the report
    compare::ByteVector image, bps, ips;  // status 0: the merged image (the base's copier header kept), its patches
    std::vector<std::string> refusals;    // outputs that cannot be made (an IPS patch of an image over 16 MiB)
};

// The merge of the changed inputs into the base. Fails (status 2) for an
// input that is no image or patch of the base or of another game, a damaged
// patch, a --resolve file that cannot be read or a value in it that the
// importer refuses, or a change that cannot be merged field by field.
common::Result<Merged> merge_inputs(const MergeInfo& info, compare::Input base, std::vector<compare::Input> changed,
                                    const Options& options);

extern const char* const kMergeOptions[9];

// The tools' main: status 0 merged (files written unless -n), 1 conflicts
// remain, 2 any trouble.
int merge_main(int argc, char** argv, const MergeInfo& info);

}  // namespace merge
