// Game-B monsters: 320 monster names, the monster block, the defences that a
// monster's equipment gives, and the seven monster reports.
#pragma once

#include <cstdint>

#include "common/report.h"
#include "games/b/items.h"

namespace mt3 {

struct Run;  // the tables of one run (run.h)

constexpr int kStatCount = 11;       // strength .. 閃LV
constexpr int kMonsterFlagCount = 9;  // 男性 女性 不死 不明 耐水 耐投 耐音 耐凝 耐地
constexpr int kSlotCount = 5;        // weapon 1, weapon 2, shield, armour 1, armour 2
constexpr int kDropCount = 4;        // 100%, high, middle, low
constexpr int kEmptySlot = 255;

struct MonsterRecord {
    int32_t hp;
    int32_t stats[kStatCount];
    int32_t race;
    int32_t recovery;
    int32_t flags[kMonsterFlagCount];  // in report order
    int32_t no_blade[2];               // 無刀1, 無刀2
    int32_t slots[kSlotCount];
    int32_t drops[kDropCount];         // drop codes 253/254 already replaced
    int32_t money;
    int32_t pattern1[8];
    int32_t pattern2[8];
    int32_t sizes[2];
};

// What the items in a monster's equipment slots give it.
struct EquipmentValues {
    int32_t defences[kAttributeCount];  // 防斬 .. 防状
    int32_t shield_defence;
    int32_t evasion;
    int32_t attributes;  // defence-attribute bits
    int32_t statuses;    // status-resistance bits
};

EquipmentValues equipment_values(const MonsterRecord& monster, const ItemRecord* items);

// The name of monster 0..319, "" for any other number.
const char* monster_name(const common::NameTables& names, int index);

common::Result<std::vector<MonsterRecord>> load_monsters(const common::RomImage& image);

void write_monparam(common::ReportText& out, const Run& run);
void write_monregist(common::ReportText& out, const Run& run);
void write_monflag(common::ReportText& out, const Run& run);
void write_monitem(common::ReportText& out, const Run& run);
void write_monequip(common::ReportText& out, const Run& run);
void write_monact(common::ReportText& out, const Run& run);
void write_monmisc(common::ReportText& out, const Run& run);

}  // namespace mt3
