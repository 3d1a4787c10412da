#include "games/a/chartables.h"
#include "games/a/items.h"

#include "common/chartables.h"
#include "common/items.h"
#include "common/labels.h"
#include "common/names.h"
#include "common/records.h"
#include "common/rows.h"
#include "games/a/labels.h"
#include "games/a/layout.h"
#include "games/a/run.h"
#include "games/a/techniques.h"

namespace mt2 {

namespace {

constexpr common::WeaponFields kWeaponFields{layout::item::kAttack, layout::item::kWeaponWeight,
                                             {layout::item::kTechs[0], layout::item::kTechs[1]}};
constexpr common::ShieldFields kShieldFields{layout::item::kDefence, layout::item::kEvasion, layout::item::kAttributes,
                                             layout::item::kShieldWeight};

void decode_armour(ItemRecord& item, const unsigned char* r) {
    namespace f = layout::item;
    for (int d = 0; d < 8; ++d) item.defences[d] = f::kDefences[d].get(r);
    item.statuses = f::kStatuses.get(r);
    common::decode_bonuses(item.bonuses, f::kBonusFlags, f::kBonusAmount, r);
    item.weight = f::kArmourWeight.get(r);
}

// Indexed by ItemKind.
constexpr common::ItemKindLayout<ItemRecord> kKinds[kItemKinds] = {
    common::item_kind<ItemRecord>(layout::kWeaponItems, layout::kWeaponRecords, common::decode_weapon<ItemRecord, kWeaponFields>),
    common::item_kind<ItemRecord>(layout::kArmourItems, layout::kArmourRecords, decode_armour),
    common::item_kind<ItemRecord>(layout::kShieldItems, layout::kShieldRecords, common::decode_shield<ItemRecord, kShieldFields>),
    common::item_kind<ItemRecord>(layout::kOtherItems),
};

// The values after the price in a parameter row: the display byte, the
// kind's values and the weight.
common::ItemValues param_values(const ItemRecord& item, int kind) {
    switch (kind) {
        case kItemWeapon: return {item.display, item.attack, item.weight};
        case kItemArmour: return common::ItemValues{item.display}.add(item.defences).add(item.bonuses).add(item.weight);
        case kItemShield: return {item.display, item.defence, item.evasion, item.weight};
        default: return {};
    }
}

void print_armour_regist(common::ReportText& fp, const ItemRecord& item) {
    common::print_bit_labels2(fp, item.statuses, 0xFF, mt2::kLabels);
}

common::ItemReport<ItemRecord, kItemKinds> item_report(const Run& run) {
    return {kKinds, run.items, common::NameLookup(run.names, item_name)};
}

}  // namespace

const char* item_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{1, layout::kItemNames, &mt2::kCharTables};
    return names.get(kTable, index);
}

common::Result<std::vector<ItemRecord>> load_items(const common::RomImage& image) {
    static_assert(common::kind_record_bytes(kKinds) == layout::kItemRecords.size());
    const auto read = common::read_tables(image, {layout::kItemAttributes, layout::kItemPrices, layout::kItemRecords});
    if (!read) return read.error();
    const auto& [attributes, prices, records] = *read;
    std::vector<ItemRecord> items = common::decode_items(kKinds, prices, records, kItemCount);
    for (int i = 0; i < kItemCount; ++i) items[i].display = layout::item::kDisplay.get(attributes.record(i));
    return items;
}

void write_item_param(common::ReportText& out, const Run& run) {
    static const char* const headers[kItemKinds] = {
        "No.      名前                 価格 表示 攻撃 重量\n",
        "No.      名前                 価格 表示 防斬 防殴 防突 防射 防熱 防冷 防雷 防状 腕力 器用 魔力 不明 素早 体力 重量\n",
        "No.      名前                 価格 表示 防御 回避 重量\n",
        "No.      名前                 価格\n",
    };
    common::write_item_params(out, item_report(run), headers, param_values);
}

void write_item_regist(common::ReportText& out, const Run& run) {
    common::write_item_resistances(out, item_report(run), kItemShield, kItemArmour,
                                   "No.      名前               状態変化耐性\n", mt2::kLabels, print_armour_regist);
}

void write_item_effect(common::ReportText& out, const Run& run) {
    common::write_item_techs(out, item_report(run), kItemWeapon, common::NameLookup(run.names, tech_name));
}

}  // namespace mt2
