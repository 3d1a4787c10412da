#include "games/b/chartables.h"
#include "games/b/monsters.h"

#include "common/bytes.h"
#include "common/labels.h"
#include "common/monsters.h"
#include "common/names.h"
#include "common/record_rows.h"
#include "common/records.h"
#include "common/rows.h"
#include "games/b/labels.h"
#include "games/b/layout.h"
#include "games/b/run.h"
#include "games/b/techniques.h"

namespace mt3 {

namespace {


// Drop codes that stand for what the monster carries in a weapon slot.
constexpr int kDropWeapon1 = 253;
constexpr int kDropWeapon2 = 254;

common::RowPrefix monster_prefix(const common::NameTables& names) { return {3, 16, common::NameLookup(names, monster_name)}; }

int32_t drop_value(int code, const MonsterRecord& m) {
    if (code == kDropWeapon1) return m.slots[0];
    if (code == kDropWeapon2) return m.slots[1];
    return code;
}

void decode_monster(MonsterRecord& m, const unsigned char* r, const common::RomTable& drops, const common::RomTable& patterns) {
    namespace f = layout::monster;
    m.hp = f::kHp.get(r);
    for (int i = 0; i < kStatCount; ++i) m.stats[i] = f::kStats[i].get(r);
    m.race = f::kRace.get(r);
    m.recovery = f::kRecovery.get(r);
    for (int i = 0; i < kMonsterFlagCount; ++i) m.flags[i] = f::kFlags[i].get(r);
    for (int w = 0; w < 2; ++w) m.no_blade[w] = !f::kBlades[w].get(r);
    for (int i = 0; i < kSlotCount; ++i) m.slots[i] = f::kSlots[i].get(r);
    const unsigned char* drop = drops.record(f::kDropEntry.get(r));
    for (int i = 0; i < kDropCount; ++i) m.drops[i] = drop_value(layout::drop::kDrops[i].get(drop), m);
    m.money = layout::drop::kMoney.get(drop);
    for (int i = 0; i < 8; ++i) {
        m.pattern1[i] = patterns.record(f::kPatterns[0].get(r))[i];
        m.pattern2[i] = patterns.record(f::kPatterns[1].get(r))[i];
    }
}

void add_item(EquipmentValues& v, const ItemRecord& item) {
    if (item.kind == kItemShield) {
        v.shield_defence = item.defence;
        v.evasion = item.evasion;
        v.attributes |= item.attributes;
    } else if (item.kind == kItemArmour) {
        for (int a = 0; a < kAttributeCount; ++a) v.defences[a] += armour_value(item, a);
        v.statuses |= item.statuses;
    }
}

// The rest of a row of the drop or equipment report: its item cells
// after the lead cells.
void print_item_row(common::ReportText& fp, const common::NameTables& names, const int32_t* items, int count) {
    common::print_item_cells(fp, items, count, kEmptySlot, common::NameLookup(names, item_name));
    fp.ch('\n');
}

}  // namespace

const char* monster_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{0, layout::kMonsterNames, &mt3::kCharTables};
    return names.get(kTable, index);
}

EquipmentValues equipment_values(const MonsterRecord& monster, const ItemRecord* items) {
    EquipmentValues v{};
    for (int s = 0; s < kSlotCount; ++s) {
        const int item = monster.slots[s];
        if (item != kEmptySlot && item >= 0 && item < kItemCount) add_item(v, items[item]);
    }
    return v;
}

common::Result<std::vector<MonsterRecord>> load_monsters(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kDropTable, layout::kActionPatterns, layout::kMonsterRecords, layout::kMonsterSizes});
    if (!read) return read.error();
    const auto& [drops, patterns, records, sizes] = *read;
    std::vector<MonsterRecord> monsters(common::kMonsterCount);
    for (int n = 0; n < common::kMonsterCount; ++n) {
        decode_monster(monsters[n], records.record(n), drops, patterns);
        monsters[n].sizes[0] = layout::monster::kWidth.get(sizes.record(n));
        monsters[n].sizes[1] = layout::monster::kHeight.get(sizes.record(n));
    }
    return monsters;
}

void write_monparam(common::ReportText& out, const Run& run) {
    const ItemRecord* items = run.items.data();
    common::write_record_rows(
        out,
        "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力 技LV 術LV 上LV 閃LV 防斬 防打 "
        "防突 防射 防熱 防冷 防雷 防状 盾防 回避\n",
        run.monsters, monster_prefix(run.names), [&](common::ReportText& fp, const MonsterRecord& m) {
            const EquipmentValues v = equipment_values(m, items);
            int32_t values[kStatCount + kAttributeCount + 2];
            int k = 0;
            for (int32_t s : m.stats) values[k++] = s;
            for (int32_t d : v.defences) values[k++] = d;
            values[k++] = v.shield_defence;
            values[k++] = v.evasion;
            common::print_value_row(fp, m.hp, values, k);
        });
}

void write_monregist(common::ReportText& out, const Run& run) {
    const MonsterRecord* monsters = run.monsters.data();
    const ItemRecord* items = run.items.data();
    common::write_resistance_report(out, common::NameLookup(run.names, monster_name), mt3::kLabels, [&](int n) {
        const EquipmentValues v = equipment_values(monsters[n], items);
        return common::ResistanceBits{v.attributes, v.statuses};
    });
}

void write_monflag(common::ReportText& out, const Run& run) {
    common::write_record_rows(out, "No.       名前               男性 女性 不死 不明 耐水 耐投 耐音 耐凝 耐地 種族  回復\n",
                              run.monsters, monster_prefix(run.names), [](common::ReportText& fp, const MonsterRecord& m) {
                                  common::print_mark_cells(fp, m.flags, kMonsterFlagCount);
                                  fp.str("  ").left(common::race_name(m.race, mt3::kLabels), 4).str("  ").str(mt3::type_name(m.recovery)).ch('\n');
                              });
}

void write_monitem(common::ReportText& out, const Run& run) {
    common::write_record_rows(out,
                              "No.       名前               お金   100%              高確率            中確率            "
                              "低確率\n",
                              run.monsters, monster_prefix(run.names), [&](common::ReportText& fp, const MonsterRecord& m) {
                                  fp.str("  ").dec(m.money, 3).str(",  ");
                                  print_item_row(fp, run.names, m.drops, kDropCount);
                              });
}

void write_monequip(common::ReportText& out, const Run& run) {
    common::write_record_rows(out,
                              "No.       名前               無刀1無刀2 武器1             武器2             盾           "
                              "     防具1             防具2\n",
                              run.monsters, monster_prefix(run.names), [&](common::ReportText& fp, const MonsterRecord& m) {
                                  fp.str("  ").right(common::mark_of(m.no_blade[0]), 2).str("   ").right(common::mark_of(m.no_blade[1]), 2).str("   ");
                                  print_item_row(fp, run.names, m.slots, kSlotCount);
                              });
}

void write_monact(common::ReportText& out, const Run& run) {
    const common::NameLookup tech = common::NameLookup(run.names, tech_name);
    common::write_record_blocks(out, run.monsters, common::NameLookup(run.names, monster_name),
                                [&](common::ReportText& fp, const MonsterRecord& m) {
                                    common::print_action_lines(fp, m.pattern1, m.pattern2, kTechHalf, tech);
                                });
}

void write_monmisc(common::ReportText& out, const Run& run) {
    common::write_record_rows(out, "No.       名前                サイズ\n", run.monsters, monster_prefix(run.names),
                              [](common::ReportText& fp, const MonsterRecord& m) {
                                  fp.str("  ").dec(m.sizes[0], 2).str("×").dec(m.sizes[1], 2).ch('\n');
                              });
}

}  // namespace mt3
