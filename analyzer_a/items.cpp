#include "analyzer_a/items.h"

#include <algorithm>
#include <cstdio>

#include "analyzer_a/techniques.h"
#include "common/block.h"
#include "common/bytes.h"
#include "common/chartables.h"
#include "common/labels.h"
#include "common/namecache.h"
#include "common/report.h"
#include "common/rows.h"

namespace mt2 {

namespace {

constexpr long kNameOffset = 0x1DBA00;
constexpr int kNameLength = 10;
constexpr long kPriceOffset = 0x1D86B0;
constexpr long kAttributeOffset = 0x1E06C0;
constexpr size_t kAttributeSize = 6;

// The kind records lie back to back from 0x1E0000: weapons, armour, shields;
// other items have none.
enum Kind { kWeapons, kArmour, kShields, kOthers, kKindCount };
struct KindTable {
    int first;
    int last;
    long rom_offset;
    size_t record_size;
};
constexpr KindTable kKinds[kKindCount] = {
    {0, 95, 0x1E0000, 4},
    {96, 191, 0x1E0180, 12},
    {192, 207, 0x1E0600, 3},
    {208, 255, 0, 0},
};

NameCache& names() {
    static NameCache cache(kNameOffset, kItemCount, kNameLength, kGameACharTables);
    return cache;
}

void decode_weapon(ItemRecord& item, const unsigned char* r) {
    item.attack = r[0];
    item.weight = bits(r[1], 3, 0);
    item.techs[0] = r[2];
    item.techs[1] = r[3];
}

void decode_armour(ItemRecord& item, const unsigned char* r) {
    for (int d = 0; d < 8; ++d) item.defences[d] = r[d];
    item.statuses = r[8];
    const int amount = (r[10] & 3) + 1;
    for (int b = 0; b < 6; ++b) item.bonuses[b] = bit(r[10], 7 - b) ? amount : 0;
    item.weight = r[11];
}

void decode_shield(ItemRecord& item, const unsigned char* r) {
    item.attributes = r[0];
    item.defence = bits(r[1], 6, 0);
    item.evasion = bits(r[2], 7, 3) * 2;
    item.weight = bits(r[2], 2, 0);
}

constexpr size_t count_of(Kind kind) { return static_cast<size_t>(kKinds[kind].last - kKinds[kind].first + 1); }

using Decoder = void (*)(ItemRecord&, const unsigned char*);
constexpr Decoder kDecoders[] = {decode_weapon, decode_armour, decode_shield};

// The fields of a row after the row prefix, one printer per kind.
using RowPrinter = void (*)(FILE*, const ItemRecord&);

struct ItemReport {
    const char* headers[kKindCount];
    RowPrinter rows[kKindCount];
};

int write_item_report(const char* path, const ItemRecord* items, const ItemReport& report) {
    Section sections[kKindCount];
    for (int k = 0; k < kKindCount; ++k) sections[k] = {kKinds[k].first, kKinds[k].last, report.headers[k]};
    return write_section_report(path, items != nullptr, sections, kKindCount, RowPrefix{2, 16, item_name},
                                [&](FILE* fp, int i, int kind) { report.rows[kind](fp, items[i]); });
}

void end_row(FILE* fp, const ItemRecord&) { fputc('\n', fp); }

void param_weapon(FILE* fp, const ItemRecord& it) {
    const int32_t values[] = {it.display, it.attack, it.weight};
    print_value_row(fp, it.price, values, 3);
}

void param_armour(FILE* fp, const ItemRecord& it) {
    int32_t values[16] = {it.display};
    std::copy_n(it.defences, 8, values + 1);
    std::copy_n(it.bonuses, 6, values + 9);
    values[15] = it.weight;
    print_value_row(fp, it.price, values, 16);
}

void param_shield(FILE* fp, const ItemRecord& it) {
    const int32_t values[] = {it.display, it.defence, it.evasion, it.weight};
    print_value_row(fp, it.price, values, 4);
}

void param_other(FILE* fp, const ItemRecord& it) { print_value_row(fp, it.price, nullptr, 0); }

void regist_armour(FILE* fp, const ItemRecord& it) {
    fputc(' ', fp);
    print_bit_labels2(fp, it.statuses, 0xFF, kGameALabels);
    fputc('\n', fp);
}

void regist_shield(FILE* fp, const ItemRecord& it) {
    fputc(' ', fp);
    print_bit_labels(fp, it.attributes, 0xFF, kGameALabels);
    fputc('\n', fp);
}

void effect_weapon(FILE* fp, const ItemRecord& it) {
    fputc(' ', fp);
    print_tech_cells(fp, it.techs, 2, tech_name);
    fputc('\n', fp);
}

const char kNameOnlyHeader[] = "No.      名前\n";

const ItemReport kParamReport = {
    {"No.      名前                 価格 表示 攻撃 重量\n",
     "No.      名前                 価格 表示 防斬 防殴 防突 防射 防熱 防冷 防雷 防状 腕力 器用 魔力 不明 素早 "
     "体力 重量\n",
     "No.      名前                 価格 表示 防御 回避 重量\n", "No.      名前                 価格\n"},
    {param_weapon, param_armour, param_shield, param_other},
};

const ItemReport kRegistReport = {
    {kNameOnlyHeader, "No.      名前               状態変化耐性\n", "No.      名前               防御属性\n",
     kNameOnlyHeader},
    {end_row, regist_armour, regist_shield, end_row},
};

const ItemReport kEffectReport = {
    {"No.      名前               武器固有技1           武器固有技2\n", kNameOnlyHeader, kNameOnlyHeader,
     kNameOnlyHeader},
    {effect_weapon, end_row, end_row, end_row},
};

}  // namespace

const char* item_name(int index) { return names().get(index); }

ItemRecord* load_items() {
    const RomTable attributes(kAttributeOffset, kAttributeSize, kItemCount);
    const RomTable prices(kPriceOffset, 2, kItemCount);
    const RomTable weapons(kKinds[kWeapons].rom_offset, kKinds[kWeapons].record_size, count_of(kWeapons));
    const RomTable armour(kKinds[kArmour].rom_offset, kKinds[kArmour].record_size, count_of(kArmour));
    const RomTable shields(kKinds[kShields].rom_offset, kKinds[kShields].record_size, count_of(kShields));
    const RomTable* const kind_records[] = {&weapons, &armour, &shields};
    ItemRecord* items = alloc_block<ItemRecord>(kItemCount);
    for (int i = 0; i < kItemCount; ++i) {
        items[i].display = attributes.record(i)[2];
        items[i].price = le16(prices.record(i));
    }
    for (int k = kWeapons; k < kOthers; ++k) {
        for (int i = kKinds[k].first; i <= kKinds[k].last; ++i) {
            kDecoders[k](items[i], kind_records[k]->record(i - kKinds[k].first));
        }
    }
    return items;
}

int write_item_param(const char* path, const ItemRecord* items) {
    return write_item_report(path, items, kParamReport);
}

int write_item_regist(const char* path, const ItemRecord* items) {
    return write_item_report(path, items, kRegistReport);
}

int write_item_effect(const char* path, const ItemRecord* items) {
    return write_item_report(path, items, kEffectReport);
}

}  // namespace mt2
