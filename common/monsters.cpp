#include "common/monsters.h"

#include "common/fields.h"
#include "common/rows.h"

void print_item_cells(FILE* stream, const int32_t* items, int count, int none, NameLookup item_name) {
    FieldWriter w(stream);
    for (int i = 0; i < count; ++i) {
        if (i) w.str(", ");
        w.left(items[i] == none ? "----------------" : item_name(items[i]), 16);
    }
}

void print_action_lines(FILE* stream, const int32_t* pattern1, const int32_t* pattern2, int tech_base,
                        NameLookup tech_name) {
    fputs("No.   行動\n", stream);
    const int32_t* patterns[2] = {pattern1, pattern2};
    for (int p = 0; p < 2; ++p) {
        for (int s = 0; s < kActionSlots; ++s) {
            // "%1d-%02d: %s\n"
            FieldWriter(stream).dec(p + 1, 1).ch('-').dec0(s + 1, 2).str(": ").str(
                tech_name(patterns[p][s] + tech_base)).ch('\n');
        }
    }
}

int write_resistance_report(const char* path, bool have_blocks, NameLookup monster_name,
                            const LabelSet& labels, const std::function<ResistanceBits(int)>& bits_of) {
    return write_row_report(path, have_blocks, "No.       名前               盾の防御属性      状態変化耐性\n",
                            kMonsterCount, RowPrefix{3, 16, monster_name}, [&](FILE* fp, int n) {
                                const ResistanceBits b = bits_of(n);
                                fputc(' ', fp);
                                print_bit_labels(fp, b.attributes, 0xFF, labels);
                                fputs("  ", fp);
                                print_bit_labels2(fp, b.statuses, 0xFF, labels);
                                fputc('\n', fp);
                            });
}
