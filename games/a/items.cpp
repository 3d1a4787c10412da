#include "games/a/chartables.h"
#include "games/a/items.h"

#include <algorithm>
#include <cstdio>

#include "common/bytes.h"
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

void decode_weapon(ItemRecord& item, const unsigned char* r) {
    namespace f = layout::item;
    item.attack = f::kAttack.get(r);
    item.weight = f::kWeaponWeight.get(r);
    for (int t = 0; t < 2; ++t) item.techs[t] = f::kTechs[t].get(r);
}

void decode_armour(ItemRecord& item, const unsigned char* r) {
    namespace f = layout::item;
    for (int d = 0; d < 8; ++d) item.defences[d] = f::kDefences[d].get(r);
    item.statuses = f::kStatuses.get(r);
    const int amount = f::kBonusAmount.get(r);
    for (int b = 0; b < 6; ++b) item.bonuses[b] = f::kBonusFlags[b].get(r) ? amount : 0;
    item.weight = f::kArmourWeight.get(r);
}

void decode_shield(ItemRecord& item, const unsigned char* r) {
    namespace f = layout::item;
    item.attributes = f::kAttributes.get(r);
    item.defence = f::kDefence.get(r);
    item.evasion = f::kEvasion.get(r);
    item.weight = f::kShieldWeight.get(r);
}

// Indexed by ItemKind.
constexpr common::ItemKindLayout<ItemRecord> kKinds[kItemKinds] = {
    common::item_kind<ItemRecord>(layout::kWeaponItems, layout::kWeaponRecords, decode_weapon),
    common::item_kind<ItemRecord>(layout::kArmourItems, layout::kArmourRecords, decode_armour),
    common::item_kind<ItemRecord>(layout::kShieldItems, layout::kShieldRecords, decode_shield),
    common::item_kind<ItemRecord>(layout::kOtherItems),
};

// The values after the price in a parameter row.
int param_values(const ItemRecord& item, int kind, int32_t* out) {
    int n = 0;
    switch (kind) {
        case kItemWeapon:
            out[n++] = item.display;
            out[n++] = item.attack;
            break;
        case kItemArmour:
            out[n++] = item.display;
            for (int d = 0; d < 8; ++d) out[n++] = item.defences[d];
            for (int b = 0; b < 6; ++b) out[n++] = item.bonuses[b];
            break;
        case kItemShield:
            out[n++] = item.display;
            out[n++] = item.defence;
            out[n++] = item.evasion;
            break;
        default:
            return 0;
    }
    out[n++] = item.weight;
    return n;
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
    std::vector<ItemRecord> items(kItemCount);
    for (int k = 0; k < kItemKinds; ++k) {
        for (int i = kKinds[k].first; i <= kKinds[k].last; ++i) items[i].kind = k;
    }
    for (int i = 0; i < kItemCount; ++i) {
        items[i].display = layout::item::kDisplay.get(attributes.record(i));
        items[i].price = common::le16(prices.record(i));
    }
    common::decode_kind_records(items.data(), kKinds, records.record(0));
    return items;
}

void write_item_param(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const ItemRecord* items = run.items.data();
    static const char* const headers[kItemKinds] = {
        "No.      名前                 価格 表示 攻撃 重量\n",
        "No.      名前                 価格 表示 防斬 防殴 防突 防射 防熱 防冷 防雷 防状 腕力 器用 魔力 不明 素早 体力 重量\n",
        "No.      名前                 価格 表示 防御 回避 重量\n",
        "No.      名前                 価格\n",
    };
    common::write_item_report(out, kKinds, headers, common::NameLookup(names, item_name), [&](common::ReportText& fp, int i, int kind) {
        int32_t values[1 + 8 + 6 + 1];
        const int n = param_values(items[i], kind, values);
        common::print_value_row(fp, items[i].price, values, n);
    });
}

void write_item_regist(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const ItemRecord* items = run.items.data();
    static const char* const headers[kItemKinds] = {
        common::kItemNameOnlyHeader,
        "No.      名前               状態変化耐性\n",
        "No.      名前               防御属性\n",
        common::kItemNameOnlyHeader,
    };
    common::write_item_report(out, kKinds, headers, common::NameLookup(names, item_name), [&](common::ReportText& fp, int i, int kind) {
        if (kind == kItemArmour) {
            fp.ch(' ');
            common::print_bit_labels2(fp, items[i].statuses, 0xFF, mt2::kLabels);
        } else if (kind == kItemShield) {
            fp.ch(' ');
            common::print_bit_labels(fp, items[i].attributes, 0xFF, mt2::kLabels);
        }
        fp.ch('\n');
    });
}

void write_item_effect(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const ItemRecord* items = run.items.data();
    static const char* const headers[kItemKinds] = {
        "No.      名前               武器固有技1           武器固有技2\n", common::kItemNameOnlyHeader, common::kItemNameOnlyHeader, common::kItemNameOnlyHeader,
    };
    common::write_item_report(out, kKinds, headers, common::NameLookup(names, item_name), [&](common::ReportText& fp, int i, int kind) {
        if (kind == kItemWeapon) {
            fp.ch(' ');
            common::print_tech_cells(fp, items[i].techs, 2, common::NameLookup(names, tech_name));
        }
        fp.ch('\n');
    });
}

}  // namespace mt2
