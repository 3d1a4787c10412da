#include "common/techniques.h"

#include "common/labels.h"
#include "common/rows.h"

namespace common {

namespace {
constexpr int kTechNameWidth = 20;
constexpr int kLearnTypes = 16;
}  // namespace

void write_learn_flag_report(ReportText& out, const TechRecord* techs, NameLookup tech_name) {
    write_row_report(out,
                     "No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 "
                     "TY09 TY10 TY11 TY12 TY13 TY14 TY15\n",
                     256, RowPrefix{2, kTechNameWidth, tech_name}, [&](ReportText& fp, int i) {
                         int32_t marks[1 + kLearnTypes] = {techs[i].derivation};
                         for (int b = 0; b < kLearnTypes; ++b) marks[1 + b] = (techs[i].learn_types >> b) & 1;
                         fp.ch(' ');
                         print_mark_cells(fp, marks, 1 + kLearnTypes);
                         fp.ch('\n');
                     });
}

void write_evade_report(ReportText& out, const TechRecord* techs, int first, int last, int hex_digits,
                        const char* header, NameLookup tech_name) {
    const Section rows{first, last, header};
    write_section_report(
        out, &rows, 1, RowPrefix{hex_digits, kTechNameWidth, tech_name},
        [&](ReportText& fp, int i, int) { fp.str("  ").right(mark_of(techs[i].evade), 2).str("    ").dec(techs[i].difficulty, 3).ch('\n'); });
}

}  // namespace common
