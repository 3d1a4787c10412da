// Game-B techniques: 512 technique names, the technique block (learn flags of
// techniques 0-255, evade flags and difficulties of 256-511), the learning
// lists and the three technique reports.
#pragma once

#include "common/learning.h"
#include "common/report.h"
#include "common/techniques.h"

namespace mt3 {

struct Run;  // the tables of one run (run.h)

constexpr int kTechCount = 512;
constexpr int kTechHalf = 256;

// The name of technique 0..511, "" for any other index.
const char* tech_name(const common::NameTables& names, int index);

common::Result<std::vector<common::TechRecord>> load_techs(const common::RomImage& image);

void write_tech_evade_data(common::ReportText& out, const Run& run);

}  // namespace mt3
