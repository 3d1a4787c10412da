// The merge: several changed copies of one base image (images of it, with or
// without a copier header, or IPS, UPS or BPS patches of it) made into one,
// field by field. A field that one or more inputs change, all to one value,
// takes that value; a field that two inputs set to different values is a
// conflict, named by table, record, key and each input's value. Bytes
// outside every table are merged the same way byte by byte. The merged
// fields are written onto the base through a session, as the importer
// writes cells, and so is its checksum set.
//
// The merge names no game: the registry gives it the game's parts. It never
// prints, touches a file, throws or ends the process.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "compare/compare.h"
#include "session/session.h"

namespace merge {

// The merges' status for any trouble: an input that is no image or patch of
// the base, a damaged patch, an image of another game, a value the importer
// refuses.
constexpr int kMergeTrouble = 2;
// Conflicts remain: they are listed and nothing is made.
constexpr int kConflicts = 1;

struct Options {
    int prefer = 0;  // every conflict takes the value of changed input prefer (1 = the first); 0: none
    // The values of field conflicts, a CSV file with the columns
    // table,index,key,value (a first record of those words is the header).
    std::optional<compare::Input> resolve;
    bool json = false;  // the report as one JSON document
    bool make_files = false;  // make the outputs that wanted asks for
    session::Wanted wanted;
};

struct Merged {
    int status = 0;  // 0 merged, kConflicts
    std::string report;  // the text report, or the JSON document
    session::Files files;  // the outputs asked for, when merged
};

// The changed inputs merged onto the base.
common::Result<Merged> merge_inputs(const session::GameParts& game, compare::Input base,
                                    std::vector<compare::Input> changed, const Options& options);

}  // namespace merge
