// Game-B encounters: the main encounter table (16 groups of 16 level bands)
// and the sub encounter table (15 types of 48 entries), with their reports.
#pragma once

#include <cstdint>

#include "common/report.h"
#include "games/b/layout.h"

namespace mt3 {

struct Run;  // the tables of one run (run.h)

constexpr int kEncounterGroups = layout::kMainEncounters.count;
constexpr int kEncounterRows = layout::kMainEncounterRows.count;
constexpr int kSubTypes = layout::kSubEncounters.count;
constexpr int kSubEntries = layout::kSubEncounterEntries.count;
constexpr int kLevelBand = 16;  // row R of a main group stands for levels from 16 x R

struct EncounterRow {
    int32_t monster;  // -1 for a row after the end of its group
    int32_t max_count;
    int32_t size1;  // first factor of the maximum size
    int32_t size2;
};

struct SubEncounter {
    int32_t monster;
    int32_t level;
};

// The word that names main encounter group 0..15, "" for any other number.
const char* encounter_group_name(int group);

// kEncounterGroups x kEncounterRows rows, group by group.
common::Result<std::vector<EncounterRow>> load_encounters_main(const common::RomImage& image);
// kSubTypes x kSubEntries entries, type by type.
common::Result<std::vector<SubEncounter>> load_encounters_sub(const common::RomImage& image);

void write_monencmain(common::ReportText& out, const Run& run);
void write_monencsub(common::ReportText& out, const Run& run);

}  // namespace mt3
