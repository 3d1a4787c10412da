#include "games/a/chartables.h"
#include "games/a/monsters.h"

#include <algorithm>

#include "common/bytes.h"
#include "common/chartables.h"
#include "common/labels.h"
#include "common/names.h"
#include "common/record_rows.h"
#include "common/records.h"
#include "common/report.h"
#include "common/rows.h"
#include "games/a/items.h"
#include "games/a/labels.h"
#include "games/a/layout.h"
#include "games/a/run.h"
#include "games/a/techniques.h"

namespace mt2 {

namespace {

constexpr int kPointCap = 250;

// The texts of the target flags in the action report.
constexpr const char* kTargetTexts[3] = {" 皇帝", " 低HPキャラクタ", " 高HPキャラクタ"};

// Shares of pattern 1 and pattern 2 in eighths, by pattern rate index.
constexpr int kPatternShares[4][2] = {{7, 1}, {5, 3}, {2, 6}, {1, 7}};

void decode_monster(MonsterRecord& m, const unsigned char* r, const common::RomTable& patterns) {
    namespace f = layout::monster;
    m.hp = f::kHp.get(r);
    m.tech_level = f::kTechLevel.get(r);
    m.spell_level = f::kSpellLevel.get(r);
    m.wp = common::cap(7 * m.tech_level, kPointCap);
    m.jp = common::cap(8 * m.spell_level + 5, kPointCap);
    for (int a = 0; a < kAbilityCount; ++a) m.abilities[a] = f::kAbilities[a].get(r);
    m.lp = f::kLp.get(r);
    for (int d = 0; d < 8; ++d) m.defences[d] = f::kDefences[d].get(r);
    m.shield_attributes = f::kShieldAttributes.get(r);
    m.evasion = f::kEvasion.get(r);
    m.shield_defence = f::kShieldDefence.get(r);
    m.status_resistances = f::kStatusResistances.get(r);
    m.body = decode_body_flags(r);
    m.race = layout::body::kRace.get(r);
    for (int t = 0; t < 3; ++t) m.targets[t] = f::kTargets[t].get(r);
    m.rate_index = f::kRateIndex.get(r);
    for (int w = 0; w < 2; ++w) m.weapons[w] = f::kWeapons[w].get(r);
    for (int d = 0; d < 2; ++d) m.drops[d] = f::kDrops[d].get(r);
    for (int p = 0; p < 2; ++p) std::copy_n(patterns.record(f::kPatterns[p].get(r)), common::kActionSlots, m.patterns[p]);
}

common::RowPrefix monster_prefix(const common::NameTables& names) { return {3, 16, common::NameLookup(names, monster_name)}; }

// The two item cells of the drop and weapon reports.
void print_item_pair(common::ReportText& fp, const common::NameTables& names, const int32_t* items, int none) {
    fp.ch(' ');
    common::print_item_cells(fp, items, 2, none, common::NameLookup(names, item_name));
    fp.ch('\n');
}

// A monster's block of the action report, below its title.
void print_action_block(common::ReportText& fp, const common::NameTables& names, const MonsterRecord& m) {
    fp.str("攻撃目標:");
    for (int t = 0; t < 3; ++t) {
        if (m.targets[t]) fp.str(kTargetTexts[t]);
    }
    fp.ch('\n');
    for (int p = 0; p < 2; ++p)
        fp.str("行動パターン").dec(p + 1, 1).str("選択率: ").dec(pattern_share(m.rate_index, p), 1).str("/8\n");
    common::print_action_lines(fp, m.patterns[0], m.patterns[1], 0, common::NameLookup(names, tech_name));
}

}  // namespace

int pattern_share(int rate_index, int pattern) { return kPatternShares[rate_index & 3][pattern & 1]; }

const char* monster_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{0, layout::kMonsterNames, &mt2::kCharTables};
    return names.get(kTable, index);
}

common::Result<std::vector<MonsterRecord>> load_monsters(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kActionPatterns, layout::kTechPoints});
    if (!read) return read.error();
    // Named one by one: a lambda may not capture a structured binding in clang 14.
    const common::RomTable& patterns = (*read)[0];
    const common::RomTable& tech_points = (*read)[1];
    return common::load_records<MonsterRecord>(image,layout::kMonsterRecords, [&](MonsterRecord& m, const unsigned char* r, int n) {
        m.tech_points = common::le16(tech_points.record(n));
        decode_monster(m, r, patterns);
    });
}

void write_monparam(common::ReportText& out, const Run& run) {
    common::write_record_rows(
        out,
        "No.       名前               技術点     HP   LP   WP   JP 腕力 器用 魔力 不明 素早 体力 技LV 術LV 防斬 防殴 "
        "防突 防射 防熱 防冷 防雷 防状 盾防 回避\n",
        run.monsters, monster_prefix(run.names), [](common::ReportText& fp, const MonsterRecord& m) {
            int values[21] = {m.lp, m.wp, m.jp};
            std::copy(m.abilities, m.abilities + kAbilityCount, values + 3);
            values[9] = m.tech_level;
            values[10] = m.spell_level;
            std::copy(m.defences, m.defences + 8, values + 11);
            values[19] = m.shield_defence;
            values[20] = m.evasion;
            fp.str("  ").dec(m.tech_points, 5).str(", ").dec(m.hp, 5).str(", ");  // "  %5ld, %5ld, "
            common::print_int_list(fp, values, 21, 3);
            fp.ch('\n');
        });
}

void write_monregist(common::ReportText& out, const Run& run) {
    const MonsterRecord* monsters = run.monsters.data();
    common::write_resistance_report(out, common::NameLookup(run.names, monster_name), mt2::kLabels, [&](int n) {
        return common::ResistanceBits{monsters[n].shield_attributes, monsters[n].status_resistances};
    });
}

void write_monflag(common::ReportText& out, const Run& run) {
    common::write_record_rows(out, "No.       名前               女性 不死 ボス 飛行 種族\n", run.monsters,
                              monster_prefix(run.names), [](common::ReportText& fp, const MonsterRecord& m) {
                                  print_body_flags(fp, m.body);
                                  fp.str(common::race_name(m.race, mt2::kLabels)).ch('\n');
                              });
}

void write_monitem(common::ReportText& out, const Run& run) {
    common::write_record_rows(out, "No.       名前               高確率            低確率\n", run.monsters,
                              monster_prefix(run.names),
                              [&](common::ReportText& fp, const MonsterRecord& m) { print_item_pair(fp, run.names, m.drops, kNoDrop); });
}

void write_monequip(common::ReportText& out, const Run& run) {
    common::write_record_rows(out, "No.       名前               武器1             武器2\n", run.monsters,
                              monster_prefix(run.names),
                              [&](common::ReportText& fp, const MonsterRecord& m) { print_item_pair(fp, run.names, m.weapons, kNoWeapon); });
}

void write_monact(common::ReportText& out, const Run& run) {
    common::write_record_blocks(out, run.monsters, common::NameLookup(run.names, monster_name),
                                [&](common::ReportText& fp, const MonsterRecord& m) { print_action_block(fp, run.names, m); });
}

}  // namespace mt2
