// Game-B battle formations: 32 formation names, the formation block and the
// formation report.
#pragma once

#include "common/formations.h"
#include "common/report.h"
#include "games/b/layout.h"

namespace mt3 {

struct Run;  // the tables of one run (run.h)

constexpr int kFormationCount = layout::kFormationRecords.count;

// The name of formation 0..31, "" for any other number.
const char* formation_name(const common::NameTables& names, int index);

// kFormationCount x kFormationMembers entries, formation by formation.
common::Result<std::vector<common::FormationEntry>> load_formations(const common::RomImage& image);

void write_formdata(common::ReportText& out, const Run& run);

}  // namespace mt3
