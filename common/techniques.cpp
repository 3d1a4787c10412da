#include "common/techniques.h"

#include "common/fields.h"
#include "common/labels.h"
#include "common/report.h"

namespace {
constexpr int kTechNameWidth = 20;
}

int write_learn_flag_report(const char* path, const TechRecord* techs, NameLookup tech_name) {
    return write_report(path, techs != nullptr, [&](FILE* fp) {
        fputs("No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 TY09 "
              "TY10 TY11 TY12 TY13 TY14 TY15\n",
              fp);
        for (int i = 0; i < 256; ++i) {
            print_row_prefix(fp, i, 2, tech_name(i), kTechNameWidth);
            // "   %2s" of each mark (all marks are two bytes wide)
            FieldWriter w(fp);
            w.str("   ").str(mark_of(techs[i].derivation));
            for (int b = 0; b < 16; ++b) w.str("   ").str(mark_of((techs[i].learn_types >> b) & 1));
            w.ch('\n');
        }
    });
}

int write_evade_report(const char* path, const TechRecord* techs, int first, int last, int hex_digits,
                       const char* header, NameLookup tech_name) {
    return write_report(path, techs != nullptr, [&](FILE* fp) {
        fputs(header, fp);
        for (int i = first; i <= last; ++i) {
            print_row_prefix(fp, i, hex_digits, tech_name(i), kTechNameWidth);
            // "  %2s    %3d\n"
            FieldWriter(fp).str("  ").str(mark_of(techs[i].evade)).str("    ").dec(techs[i].difficulty, 3).ch('\n');
        }
    });
}
