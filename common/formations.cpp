#include "common/formations.h"

#include "common/labels.h"
#include "common/records.h"
#include "common/report.h"

namespace common {

FormationEntry decode_formation_member(int rate, const unsigned char* flags) {
    namespace f = member_flags;
    FormationEntry e{};
    e.rate = rate;
    e.speed = f::kSpeed.get(flags);
    e.front_defence = f::kFront.get(flags);
    e.rear_defence = f::kRear.get(flags);
    e.ranged_attack = f::kRanged.get(flags);
    e.close_attack = f::kClose.get(flags);
    e.magic_attack = f::kMagic.get(flags);
    return e;
}

void encode_formation_member(const FormationEntry& e, unsigned char* flags) {
    namespace f = member_flags;
    f::kSpeed.put(flags, e.speed);
    f::kFront.put(flags, e.front_defence);
    f::kRear.put(flags, e.rear_defence);
    f::kRanged.put(flags, e.ranged_attack);
    f::kClose.put(flags, e.close_attack);
    f::kMagic.put(flags, e.magic_attack);
}

int actual_rear_defence(const FormationEntry& e) { return e.speed & 1; }

void write_formation_report(ReportText& out, const FormationEntry* formations, int count, NameLookup formation_name,
                            bool actual_rear_column) {
    BlockSeparator separator;
    for (int n = 0; n < count; ++n) {
        separator.next(out);
        print_block_title(out, n, formation_name(n));
        out.str(actual_rear_column ? "No. 選択率 素早さ  前防 後防 近攻 遠攻 術攻 後防(実際)\n"
                                  : "No. 選択率 素早さ  前防 後防 近攻 遠攻 術攻\n");
        for (int p = 0; p < kFormationMembers; ++p) {
            const FormationEntry& e = formations[n * kFormationMembers + p];
            // "%02d:  %5d, %+5d,  %2s   %2s   %2s   %2s   %2s", then "     %2s"
            out.dec0(p + 1, 2).str(":  ").dec(e.rate, 5).str(", ").dec(e.speed, 5, true).str(",  ");
            const int32_t marks[] = {e.front_defence, e.rear_defence, e.close_attack, e.ranged_attack,
                                     e.magic_attack};
            for (int m = 0; m < 5; ++m) out.str(m ? "   " : "").right(mark_of(marks[m]), 2);
            if (actual_rear_column) out.str("     ").right(mark_of(actual_rear_defence(e)), 2);
            out.ch('\n');
        }
    }
}

Result<std::vector<FormationEntry>> load_formation_members(const RomImage& image, const TableLayout& records,
                                                           int (*rate_of)(const unsigned char* record, int p),
                                                           long (*flag_byte)(int p)) {
    const auto read = read_tables(image, {records});
    if (!read) return read.error();
    const auto& [table] = *read;
    std::vector<FormationEntry> formations(static_cast<size_t>(records.count) * kFormationMembers);
    for (int n = 0; n < records.count; ++n) {
        const unsigned char* r = table.record(n);
        for (int p = 0; p < kFormationMembers; ++p) {
            formations[n * kFormationMembers + p] = decode_formation_member(rate_of(r, p), r + flag_byte(p));
        }
    }
    return formations;
}

}  // namespace common
