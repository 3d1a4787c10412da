// The merges' shell, shared by every game: the command line, the base and
// the changed inputs read whole, the report printed and the outputs written
// whole or not at all, as the importers write theirs.
#pragma once

#include "common/cmdline.h"
#include "session/session.h"

namespace merge {

extern const char* const kMergeOptions[9];

struct MergeInfo {
    common::HelpText help;
    const session::GameParts& game;
};

// Status 0 when merged and the outputs written, 1 when conflicts remain
// (listed, nothing written), 2 on any trouble (nothing written).
int merge_main(int argc, char** argv, const MergeInfo& info);

}  // namespace merge
