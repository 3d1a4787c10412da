#include "common/formations.h"

#include "common/bytes.h"
#include "common/labels.h"
#include "common/report.h"

FormationEntry decode_formation_flags(int rate, int flags) {
    FormationEntry e{};
    e.rate = rate;
    e.speed = bit(flags, 2) ? -(flags & 3) : (flags & 3);
    e.front_defence = bit(flags, 7);
    e.rear_defence = bit(flags, 6);
    e.ranged_attack = bit(flags, 4);
    e.close_attack = bit(flags, 5);
    e.magic_attack = bit(flags, 3);
    return e;
}

int actual_rear_defence(const FormationEntry& e) { return e.speed & 1; }

int write_formation_report(const char* path, const FormationEntry* formations, int count,
                           NameLookup formation_name, bool actual_rear_column) {
    return write_report(path, formations != nullptr, [&](FILE* fp) {
        BlockSeparator separator;
        for (int n = 0; n < count; ++n) {
            separator.next(fp);
            print_block_title(fp, n, formation_name(n));
            fputs(actual_rear_column ? "No. 選択率 素早さ  前防 後防 近攻 遠攻 術攻 後防(実際)\n"
                                     : "No. 選択率 素早さ  前防 後防 近攻 遠攻 術攻\n",
                  fp);
            for (int p = 0; p < kFormationMembers; ++p) {
                const FormationEntry& e = formations[n * kFormationMembers + p];
                fprintf(fp, "%02d:  %5d, %+5d,  %2s   %2s   %2s   %2s   %2s", p + 1, e.rate, e.speed,
                        mark_of(e.front_defence), mark_of(e.rear_defence), mark_of(e.close_attack),
                        mark_of(e.ranged_attack), mark_of(e.magic_attack));
                if (actual_rear_column) fprintf(fp, "     %2s", mark_of(actual_rear_defence(e)));
                fputc('\n', fp);
            }
        }
    });
}
