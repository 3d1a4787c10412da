// Techniques of game A: the name lookup, the technique block, the learning
// data and the three technique reports.
#pragma once

#include "common/learning.h"
#include "common/report.h"
#include "common/techniques.h"

namespace mt2 {

struct Run;  // the tables of one run (run.h)

constexpr int kTechCount = 256;
constexpr int kFixedTechNames = 11;  // techniques 0..10 are named by the tools

// Indices 0..10 give the fixed texts of the ordinary attacks and the two
// potions, 11..255 the technique's name from the ROM, anything else "".
const char* tech_name(const common::NameTables& names, int index);

// The 256 technique records: derivation and evade flags, learn types and
// difficulty.
common::Result<std::vector<common::TechRecord>> load_techs(const common::RomImage& image);


void write_tech_evade_data(common::ReportText& out, const Run& run);

}  // namespace mt2
