#include "analyzer_a/items.h"

#include <algorithm>
#include <cstdio>

#include "analyzer_a/layout.h"
#include "analyzer_a/techniques.h"
#include "common/block.h"
#include "common/bytes.h"
#include "common/chartables.h"
#include "common/labels.h"
#include "common/namecache.h"
#include "common/items.h"
#include "common/rows.h"

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
constexpr ItemKindLayout<ItemRecord> kKinds[kItemKinds] = {
    {0, 95, 4, decode_weapon},
    {96, 191, 12, decode_armour},
    {192, 207, 3, decode_shield},
    {208, 255, 0, nullptr},
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

const char* item_name(int index) {
    static NameCache names(layout::kItemNames, kGameACharTables);
    return names.get(index);
}

ItemRecord* load_items() {
    static_assert(kind_record_bytes(kKinds) == layout::kItemRecords.size());
    const RomTable attributes(layout::kItemAttributes);
    const RomTable prices(layout::kItemPrices);
    const RomTable records(layout::kItemRecords);
    ItemRecord* items = alloc_block<ItemRecord>(kItemCount);
    for (int k = 0; k < kItemKinds; ++k) {
        for (int i = kKinds[k].first; i <= kKinds[k].last; ++i) items[i].kind = k;
    }
    for (int i = 0; i < kItemCount; ++i) {
        items[i].display = layout::item::kDisplay.get(attributes.record(i));
        items[i].price = le16(prices.record(i));
    }
    decode_kind_records(items, kKinds, records.record(0));
    return items;
}

int write_item_param(const char* path, const ItemRecord* items) {
    static const char* const headers[kItemKinds] = {
        "No.      名前                 価格 表示 攻撃 重量\n",
        "No.      名前                 価格 表示 防斬 防殴 防突 防射 防熱 防冷 防雷 防状 腕力 器用 魔力 不明 素早 体力 重量\n",
        "No.      名前                 価格 表示 防御 回避 重量\n",
        "No.      名前                 価格\n",
    };
    return write_item_report(path, items, kKinds, headers, item_name, [&](FILE* fp, int i, int kind) {
        int32_t values[1 + 8 + 6 + 1];
        const int n = param_values(items[i], kind, values);
        print_value_row(fp, items[i].price, values, n);
    });
}

int write_item_regist(const char* path, const ItemRecord* items) {
    static const char* const headers[kItemKinds] = {
        kItemNameOnlyHeader,
        "No.      名前               状態変化耐性\n",
        "No.      名前               防御属性\n",
        kItemNameOnlyHeader,
    };
    return write_item_report(path, items, kKinds, headers, item_name, [&](FILE* fp, int i, int kind) {
        if (kind == kItemArmour) {
            fputc(' ', fp);
            print_bit_labels2(fp, items[i].statuses, 0xFF, kGameALabels);
        } else if (kind == kItemShield) {
            fputc(' ', fp);
            print_bit_labels(fp, items[i].attributes, 0xFF, kGameALabels);
        }
        fputc('\n', fp);
    });
}

int write_item_effect(const char* path, const ItemRecord* items) {
    static const char* const headers[kItemKinds] = {
        "No.      名前               武器固有技1           武器固有技2\n", kItemNameOnlyHeader, kItemNameOnlyHeader, kItemNameOnlyHeader,
    };
    return write_item_report(path, items, kKinds, headers, item_name, [&](FILE* fp, int i, int kind) {
        if (kind == kItemWeapon) {
            fputc(' ', fp);
            print_tech_cells(fp, items[i].techs, 2, tech_name);
        }
        fputc('\n', fp);
    });
}

}  // namespace mt2
