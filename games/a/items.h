// Items of game A: the name lookup, the item block and the three item
// reports. The item's number decides its kind: 0-95 weapons, 96-191 armour,
// 192-207 shields, 208-255 other items.
#pragma once

#include <cstdint>

#include "common/report.h"
#include "games/a/layout.h"

namespace mt2 {

struct Run;  // the tables of one run (run.h)

constexpr int kItemCount = layout::kItemCount;

// The kind of an item follows from its number; it is also the section of the
// item reports that lists it.
enum ItemKind : int32_t {
    kItemWeapon = 0,  // 0-95
    kItemArmour = 1,  // 96-191
    kItemShield = 2,  // 192-207
    kItemOther = 3,   // 208-255, no record
};
constexpr int kItemKinds = 4;

struct ItemRecord {
    int32_t kind;
    int32_t price;
    int32_t display;  // byte 2 of the item attribute record ("表示")
    int32_t weight;   // weapons, armour and shields
    // Weapons.
    int32_t attack;
    int32_t techs[2];  // inherent techniques, 255 = none
    // Armour.
    int32_t defences[8];  // slash, blunt, thrust, shot, heat, cold, thunder, status
    int32_t statuses;     // status-change resistance bits
    int32_t bonuses[6];   // strength, dexterity, magic, 不明, speed, vitality
    // Shields.
    int32_t attributes;  // defence-attribute bits
    int32_t defence;
    int32_t evasion;
};

// The item's name, or "" for an index outside 0..255.
const char* item_name(const common::NameTables& names, int index);

common::Result<std::vector<ItemRecord>> load_items(const common::RomImage& image);

void write_item_param(common::ReportText& out, const Run& run);
void write_item_regist(common::ReportText& out, const Run& run);
void write_item_effect(common::ReportText& out, const Run& run);

}  // namespace mt2
