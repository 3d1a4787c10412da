#include "common/monsters.h"

#include "common/fields.h"
#include "common/rows.h"

namespace common {

void print_item_cells(ReportText& stream, const int32_t* items, int count, int none, NameLookup item_name) {
    for (int i = 0; i < count; ++i) {
        if (i) stream.str(", ");
        stream.left(items[i] == none ? "----------------" : item_name(items[i]), 16);
    }
}

void print_action_lines(ReportText& stream, const int32_t* pattern1, const int32_t* pattern2, int tech_base,
                        NameLookup tech_name) {
    stream.str("No.   行動\n");
    const int32_t* patterns[2] = {pattern1, pattern2};
    for (int p = 0; p < 2; ++p) {
        for (int s = 0; s < kActionSlots; ++s) {
            // "%1d-%02d: %s\n"
            stream.dec(p + 1, 1).ch('-').dec0(s + 1, 2).str(": ").str(tech_name(patterns[p][s] + tech_base)).ch('\n');
        }
    }
}

void write_resistance_report(ReportText& out, NameLookup monster_name, const LabelSet& labels,
                             const std::function<ResistanceBits(int)>& bits_of) {
    write_row_report(out, "No.       名前               盾の防御属性      状態変化耐性\n", kMonsterCount,
                     RowPrefix{3, 16, monster_name}, [&](ReportText& fp, int n) {
                         const ResistanceBits b = bits_of(n);
                         fp.ch(' ');
                         print_bit_labels(fp, b.attributes, 0xFF, labels);
                         fp.str("  ");
                         print_bit_labels2(fp, b.statuses, 0xFF, labels);
                         fp.ch('\n');
                     });
}

}  // namespace common
