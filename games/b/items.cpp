#include "games/b/chartables.h"
#include "games/b/items.h"


#include "common/bytes.h"
#include "common/items.h"
#include "common/labels.h"
#include "common/names.h"
#include "common/records.h"
#include "common/rows.h"
#include "games/b/labels.h"
#include "games/b/layout.h"
#include "games/b/run.h"
#include "games/b/techniques.h"

namespace mt3 {

namespace {

constexpr common::WeaponFields kWeaponFields{layout::item::kAttack, layout::item::kWeight,
                                             {layout::item::kTechs[0], layout::item::kTechs[1]}};
constexpr common::ShieldFields kShieldFields{layout::item::kDefence, layout::item::kEvasion, layout::item::kAttributes,
                                             layout::item::kWeight};

// Bits 7..4 of a level byte select the attributes that get the level in its
// bits 2..0.
void decode_levels(int32_t* levels, int byte) {
    for (int i = 0; i < kPhysicalAttributes; ++i) levels[i] = common::bit(byte, 7 - i) ? (byte & 7) : 0;
}

void decode_armour(ItemRecord& item, const unsigned char* r) {
    namespace f = layout::item;
    item.physical_defence = f::kPhysicalDefence.get(r);
    item.magic_defence = f::kMagicDefence.get(r);
    for (int b = 0; b < 2; ++b) decode_levels(item.levels + b * kPhysicalAttributes, r[f::kLevelBytes[b]]);
    item.statuses = f::kStatuses.get(r);
    for (int i = 0; i < kResistFlagCount; ++i) item.resist_flags[i] = f::kResistFlags[i].get(r);
    common::decode_bonuses(item.bonuses, f::kBonusFlags, f::kBonusAmount, r);
    item.weight = f::kArmourWeight.get(r);
}

// Indexed by ItemKind.
constexpr common::ItemKindLayout<ItemRecord> kKinds[kItemKinds] = {
    common::item_kind<ItemRecord>(layout::kBasicItems, layout::kBasicItemRecords),
    common::item_kind<ItemRecord>(layout::kWeaponItems, layout::kWeaponRecords, common::decode_weapon<ItemRecord, kWeaponFields>),
    common::item_kind<ItemRecord>(layout::kShieldItems, layout::kShieldRecords, common::decode_shield<ItemRecord, kShieldFields>),
    common::item_kind<ItemRecord>(layout::kArmourItems, layout::kArmourRecords, decode_armour),
    common::item_kind<ItemRecord>(layout::kOtherItems),
};

// Twice the graded value of levels 0..6, as a multiple of the value.
constexpr int kDoubledGrades[7] = {2, 0, 1, 3, 4, 6, 2};
constexpr int kTopLevel = 7;
constexpr int kTopGrade = 128;

const char* const kLevelMarks[8] = {"--", "×", "△", "○", "○+", "◎", "(×)", "☆"};

// The values after the price in a parameter row: the kind's values and the
// weight; an armour's eight attribute values graded.
common::ItemValues param_values(const ItemRecord& item, int kind) {
    if (kind == kItemWeapon) return {item.attack, item.weight};
    if (kind == kItemShield) return {item.defence, item.evasion, item.weight};
    if (kind != kItemArmour) return {};
    common::ItemValues values{item.physical_defence, item.magic_defence};
    for (int a = 0; a < kAttributeCount; ++a) values.add(armour_value(item, a));
    return values.add(item.bonuses).add(item.weight);
}

void print_armour_regist(common::ReportText& fp, const ItemRecord& item) {
    for (int a = 0; a < kAttributeCount; ++a) fp.ch(' ').left(kLevelMarks[item.levels[a]], 4);
    fp.ch(' ');
    common::print_bit_labels2(fp, item.statuses, 0xFF, mt3::kLabels);
    common::print_mark_cells(fp, item.resist_flags, kResistFlagCount);
}

common::ItemReport<ItemRecord, kItemKinds> item_report(const Run& run) {
    return {kKinds, run.items, common::NameLookup(run.names, item_name)};
}

}  // namespace

const char* item_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{1, layout::kItemNames, &mt3::kCharTables};
    return names.get(kTable, index);
}

int32_t compute_value(int value, int level) {
    if (value < 0 || level < 0 || level > kTopLevel) return 0;
    if (level == kTopLevel) return kTopGrade;
    return static_cast<int32_t>(static_cast<int64_t>(value) * kDoubledGrades[level] / 2);
}

int32_t armour_value(const ItemRecord& item, int a) {
    const int base = a < kPhysicalAttributes ? item.physical_defence : item.magic_defence;
    return compute_value(base, item.levels[a]);
}

common::Result<std::vector<ItemRecord>> load_items(const common::RomImage& image) {
    static_assert(common::kind_record_bytes(kKinds) == layout::kItemRecords.size());
    const auto read = common::read_tables(image, {layout::kItemPrices, layout::kItemRecords});
    if (!read) return read.error();
    const auto& [prices, records] = *read;
    return common::decode_items(kKinds, prices, records, kItemCount);
}

void write_item_param(common::ReportText& out, const Run& run) {
    static const char* const headers[kItemKinds] = {
        "No.      名前                 価格\n",
        "No.      名前                 価格 攻撃 重量\n",
        "No.      名前                 価格 防御 回避 重量\n",
        "No.      名前                 価格 物防 魔防 防斬 防打 防突 防射 防熱 防冷 防雷 防状 腕力 器用 素早 体力 魔力 意志 魅力 重量\n",
        "No.      名前                 価格\n",
    };
    common::write_item_params(out, item_report(run), headers, param_values);
}

void write_item_regist(common::ReportText& out, const Run& run) {
    common::write_item_resistances(out, item_report(run), kItemShield, kItemArmour,
                                   "No.      名前               防斬 防打 防突 防射 防熱 防冷 防雷 防状  状態変化耐性     耐水 耐投 "
                                   "耐音 耐凝 耐地\n",
                                   mt3::kLabels, print_armour_regist);
}

void write_item_effect(common::ReportText& out, const Run& run) {
    common::write_item_techs(out, item_report(run), kItemWeapon, common::NameLookup(run.names, tech_name));
}

}  // namespace mt3
