// Game-B items: 256 item names, the item block with the records of weapons,
// shields and armour, the graded attribute value and the three item reports.
#pragma once

#include <cstdint>

#include "common/report.h"
#include "games/b/layout.h"

namespace mt3 {

struct Run;  // the tables of one run (run.h)

constexpr int kItemCount = layout::kItemCount;

// The kind of an item follows from its number; it is also the section of the
// item reports that lists it.
enum ItemKind : int32_t {
    kItemBasic = 0,   // 0-7
    kItemWeapon = 1,  // 8-79
    kItemShield = 2,  // 80-95
    kItemArmour = 3,  // 96-223
    kItemOther = 4,   // 224-255, no record
};
constexpr int kItemKinds = 5;

constexpr int kAttributeCount = 8;  // slash, blow, thrust, shot, heat, cold, thunder, status
constexpr int kPhysicalAttributes = 4;
constexpr int kResistFlagCount = 5;
constexpr int kBonusCount = 7;

struct ItemRecord {
    int32_t kind;
    int32_t price;
    int32_t weight;
    // weapons
    int32_t attack;
    int32_t techs[2];  // inherent techniques, 255 = none
    // shields
    int32_t defence;
    int32_t evasion;
    int32_t attributes;  // defence-attribute bits
    // armour
    int32_t physical_defence;
    int32_t magic_defence;
    int32_t levels[kAttributeCount];
    int32_t statuses;                       // status-resistance bits
    int32_t resist_flags[kResistFlagCount];  // 耐水 耐投 耐音 耐凝 耐地
    int32_t bonuses[kBonusCount];           // strength .. charm
};

// The name of item 0..255, "" for any other index.
const char* item_name(const common::NameTables& names, int index);

// The graded value of an attribute of the given level (0..7); 0 for a level
// out of range or a negative value.
int32_t compute_value(int value, int level);

// The value of attribute a (0..7) of an armour item: its physical defence for
// the four physical attributes, its magic defence for the others, graded by
// the attribute's level.
int32_t armour_value(const ItemRecord& item, int a);

common::Result<std::vector<ItemRecord>> load_items(const common::RomImage& image);

void write_item_param(common::ReportText& out, const Run& run);
void write_item_regist(common::ReportText& out, const Run& run);
void write_item_effect(common::ReportText& out, const Run& run);

}  // namespace mt3
