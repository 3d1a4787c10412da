// Battle formations of game A: the name lookup, the formation block and the
// formation report.
#pragma once

#include "common/formations.h"
#include "common/report.h"
#include "games/a/layout.h"

namespace mt2 {

struct Run;  // the tables of one run (run.h)

constexpr int kFormationCount = layout::kFormationRecords.count;

// The formation's name, or "" for an index outside 0..15.
const char* formation_name(const common::NameTables& names, int index);

// kFormationCount formations of kFormationMembers entries each.
common::Result<std::vector<common::FormationEntry>> load_formations(const common::RomImage& image);

void write_formdata(common::ReportText& out, const Run& run);

}  // namespace mt2
