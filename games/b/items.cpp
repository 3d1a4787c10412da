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


void decode_weapon(ItemRecord& item, const unsigned char* r) {
    namespace f = layout::item;
    item.weight = f::kWeight.get(r);
    item.attack = f::kAttack.get(r);
    for (int t = 0; t < 2; ++t) item.techs[t] = f::kTechs[t].get(r);
}

void decode_shield(ItemRecord& item, const unsigned char* r) {
    namespace f = layout::item;
    item.weight = f::kWeight.get(r);
    item.defence = f::kDefence.get(r);
    item.evasion = f::kEvasion.get(r);
    item.attributes = f::kAttributes.get(r);
}

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
    const int amount = f::kBonusAmount.get(r);
    for (int i = 0; i < kBonusCount; ++i) item.bonuses[i] = f::kBonusFlags[i].get(r) ? amount : 0;
    item.weight = f::kArmourWeight.get(r);
}

// Indexed by ItemKind.
constexpr common::ItemKindLayout<ItemRecord> kKinds[kItemKinds] = {
    common::item_kind<ItemRecord>(layout::kBasicItems, layout::kBasicItemRecords),
    common::item_kind<ItemRecord>(layout::kWeaponItems, layout::kWeaponRecords, decode_weapon),
    common::item_kind<ItemRecord>(layout::kShieldItems, layout::kShieldRecords, decode_shield),
    common::item_kind<ItemRecord>(layout::kArmourItems, layout::kArmourRecords, decode_armour),
    common::item_kind<ItemRecord>(layout::kOtherItems),
};

// Twice the graded value of levels 0..6, as a multiple of the value.
constexpr int kDoubledGrades[7] = {2, 0, 1, 3, 4, 6, 2};
constexpr int kTopLevel = 7;
constexpr int kTopGrade = 128;

const char* const kLevelMarks[8] = {"--", "×", "△", "○", "○+", "◎", "(×)", "☆"};

// The values after the price in a parameter row.
int param_values(const ItemRecord& item, int kind, int32_t* out) {
    int n = 0;
    switch (kind) {
        case kItemWeapon:
            out[n++] = item.attack;
            break;
        case kItemShield:
            out[n++] = item.defence;
            out[n++] = item.evasion;
            break;
        case kItemArmour:
            out[n++] = item.physical_defence;
            out[n++] = item.magic_defence;
            for (int a = 0; a < kAttributeCount; ++a) out[n++] = armour_value(item, a);
            for (int b = 0; b < kBonusCount; ++b) out[n++] = item.bonuses[b];
            break;
        default:
            return 0;
    }
    out[n++] = item.weight;
    return n;
}

void print_armour_regist(common::ReportText& fp, const ItemRecord& item) {
    fp.ch(' ');
    for (int a = 0; a < kAttributeCount; ++a) fp.ch(' ').left(kLevelMarks[item.levels[a]], 4);
    fp.ch(' ');
    common::print_bit_labels2(fp, item.statuses, 0xFF, mt3::kLabels);
    common::print_mark_cells(fp, item.resist_flags, kResistFlagCount);
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
    std::vector<ItemRecord> items(kItemCount);
    for (int k = 0; k < kItemKinds; ++k) {
        for (int i = kKinds[k].first; i <= kKinds[k].last; ++i) items[i].kind = k;
    }
    for (int i = 0; i < kItemCount; ++i) items[i].price = common::le16(prices.record(i));
    common::decode_kind_records(items.data(), kKinds, records.record(0));
    return items;
}

void write_item_param(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const ItemRecord* items = run.items.data();
    static const char* const headers[kItemKinds] = {
        "No.      名前                 価格\n",
        "No.      名前                 価格 攻撃 重量\n",
        "No.      名前                 価格 防御 回避 重量\n",
        "No.      名前                 価格 物防 魔防 防斬 防打 防突 防射 防熱 防冷 防雷 防状 腕力 器用 素早 体力 魔力 意志 魅力 重量\n",
        "No.      名前                 価格\n",
    };
    common::write_item_report(out, kKinds, headers, common::NameLookup(names, item_name), [&](common::ReportText& fp, int i, int kind) {
        int32_t values[2 + kAttributeCount + kBonusCount + 1];
        const int n = param_values(items[i], kind, values);
        common::print_value_row(fp, items[i].price, values, n);
    });
}

void write_item_regist(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const ItemRecord* items = run.items.data();
    static const char* const headers[kItemKinds] = {
        common::kItemNameOnlyHeader,
        common::kItemNameOnlyHeader,
        "No.      名前               防御属性\n",
        "No.      名前               防斬 防打 防突 防射 防熱 防冷 防雷 防状  状態変化耐性     耐水 耐投 "
        "耐音 耐凝 耐地\n",
        common::kItemNameOnlyHeader,
    };
    common::write_item_report(out, kKinds, headers, common::NameLookup(names, item_name), [&](common::ReportText& fp, int i, int kind) {
        if (kind == kItemShield) {
            fp.ch(' ');
            common::print_bit_labels(fp, items[i].attributes, 0xFF, mt3::kLabels);
        } else if (kind == kItemArmour) {
            print_armour_regist(fp, items[i]);
        }
        fp.ch('\n');
    });
}

void write_item_effect(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const ItemRecord* items = run.items.data();
    static const char* const headers[kItemKinds] = {
        common::kItemNameOnlyHeader, "No.      名前               武器固有技1           武器固有技2\n", common::kItemNameOnlyHeader, common::kItemNameOnlyHeader, common::kItemNameOnlyHeader,
    };
    common::write_item_report(out, kKinds, headers, common::NameLookup(names, item_name), [&](common::ReportText& fp, int i, int kind) {
        if (kind == kItemWeapon) {
            fp.ch(' ');
            common::print_tech_cells(fp, items[i].techs, 2, common::NameLookup(names, tech_name));
        }
        fp.ch('\n');
    });
}

}  // namespace mt3
