// Technique records and the technique reports that both games share: the
// learn-flag report and the evade report.
#pragma once

#include <cstdint>

#include "common/report.h"

namespace common {

struct TechRecord {
    int32_t derivation;   // 0 or 1 ("派生")
    int32_t evade;        // 0 or 1 ("見切")
    int32_t learn_types;  // 16-bit set; bit n is column TYnn
    int32_t difficulty;   // 0..255 ("難度")
};

// "mtNtechlearnflag.txt": header and one row per technique 0..255, with the
// derivation mark and the sixteen learn-type marks TY00..TY15.
void write_learn_flag_report(ReportText& out, const TechRecord* techs, NameLookup tech_name);
// The same report of a game's run (its techs and names), its techniques
// named by TechName: a writer of the game's table of reports.
template <typename Run, NameLookup::Function TechName>
void write_learn_flags(ReportText& out, const Run& run) {
    write_learn_flag_report(out, run.techs.data(), NameLookup(run.names, TechName));
}

// The evade report: the header line, then one row per technique first..last
// with the evade mark and the difficulty; hex_digits is 2 or 3.
void write_evade_report(ReportText& out, const TechRecord* techs, int first, int last, int hex_digits,
                        const char* header, NameLookup tech_name);

}  // namespace common
