#include "common/techniques.h"

#include "common/labels.h"
#include "common/rows.h"

namespace {
constexpr int kTechNameWidth = 20;
constexpr int kLearnTypes = 16;
}  // namespace

int write_learn_flag_report(const char* path, const TechRecord* techs, NameLookup tech_name) {
    return write_row_report(path, techs != nullptr,
                            "No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 "
                            "TY09 TY10 TY11 TY12 TY13 TY14 TY15\n",
                            256, RowPrefix{2, kTechNameWidth, tech_name}, [&](FILE* fp, int i) {
                                int32_t marks[1 + kLearnTypes] = {techs[i].derivation};
                                for (int b = 0; b < kLearnTypes; ++b) marks[1 + b] = (techs[i].learn_types >> b) & 1;
                                fputc(' ', fp);
                                print_mark_cells(fp, marks, 1 + kLearnTypes);
                                fputc('\n', fp);
                            });
}

int write_evade_report(const char* path, const TechRecord* techs, int first, int last, int hex_digits,
                       const char* header, NameLookup tech_name) {
    const Section rows{first, last, header};
    return write_section_report(path, techs != nullptr, &rows, 1, RowPrefix{hex_digits, kTechNameWidth, tech_name},
                                [&](FILE* fp, int i, int) {
                                    fprintf(fp, "  %2s    %3d\n", mark_of(techs[i].evade), techs[i].difficulty);
                                });
}
