// Monsters of game A: the name lookup, the monster block and the six monster
// reports.
#pragma once

#include <cstdint>

#include "common/monsters.h"
#include "common/report.h"
#include "games/a/body.h"

namespace mt2 {

struct Run;  // the tables of one run (run.h)

constexpr int kNoWeapon = 254;  // a weapon slot that holds nothing
constexpr int kNoDrop = 255;    // a drop of nothing

struct MonsterRecord {
    int32_t tech_points;
    int32_t hp;
    int32_t lp;
    int32_t wp;  // 7 x technique level, capped at 250
    int32_t jp;  // 8 x spell level + 5, capped at 250
    int32_t tech_level;
    int32_t spell_level;
    int32_t abilities[kAbilityCount];  // strength, dexterity, magic power, 不明, speed, stamina
    int32_t defences[8];               // slashing, blunt, thrust, shot, heat, cold, lightning, status
    int32_t shield_defence;
    int32_t evasion;
    int32_t shield_attributes;   // attack-kind bits
    int32_t status_resistances;  // status bits
    BodyFlags body;
    int32_t targets[3];  // the emperor, low-HP characters, high-HP characters
    int32_t race;
    int32_t rate_index;  // how often each action pattern is chosen, 0..3
    int32_t weapons[2];  // item indices, 254 = none
    int32_t drops[2];    // high and low probability, item indices, 255 = none
    int32_t patterns[2][common::kActionSlots];  // technique indices
};

// How often action pattern 1 or 2 (pattern 0 or 1) is chosen, in eighths, for
// a pattern rate index 0..3.
int pattern_share(int rate_index, int pattern);

// The monster's name, or "" for an index outside 0..319.
const char* monster_name(const common::NameTables& names, int index);

common::Result<std::vector<MonsterRecord>> load_monsters(const common::RomImage& image);

void write_monparam(common::ReportText& out, const Run& run);
void write_monregist(common::ReportText& out, const Run& run);
void write_monflag(common::ReportText& out, const Run& run);
void write_monitem(common::ReportText& out, const Run& run);
void write_monequip(common::ReportText& out, const Run& run);
void write_monact(common::ReportText& out, const Run& run);

}  // namespace mt2
