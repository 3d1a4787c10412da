// Game A's export keys, the report headings beside them, and every stored
// field the importer writes: the one list that the exporter's columns, the
// JSON Schema, the comparison and mt2import are made from. Labels are UTF-8:
// only the exporter and the importer include this file.
#pragma once

#include <utility>
#include <vector>

#include "common/export_keys.h"
#include "common/record_keys.h"
#include "games/a/layout.h"

namespace mt2::fields {

// The keys that both games export under one name (kHp, kPrice, ...).
using namespace common::record_keys;

// Monsters.
inline constexpr common::Key kTechPoints{"tech_points", "技術点"};
inline constexpr common::Key kLp{"lp", "LP"};
inline constexpr common::Key kWp{"wp", "WP"};
inline constexpr common::Key kJp{"jp", "JP"};
// The six abilities in record order, and the eight defences.
inline constexpr common::Key kAbilities[6] = {{"strength", "腕力"}, {"dexterity", "器用"}, {"magic_power", "魔力"},
                                      {"unknown", "不明"},  {common::shared_keys::kSpeed.key, "素早"},     {"stamina", "体力"}};
inline constexpr common::Key kDefences[8] = {{"defence_slash", "防斬"},  {"defence_blunt", "防殴"},
                                     {"defence_thrust", "防突"}, {"defence_shot", "防射"},
                                     {"defence_heat", "防熱"},   {"defence_cold", "防冷"},
                                     {"defence_thunder", "防雷"}, {"defence_status", "防状"}};
inline constexpr common::Key kTechLevel{"tech_level", "技LV"};
inline constexpr common::Key kSpellLevel{"spell_level", "術LV"};
// Byte 0 of monster and character records: female, undead, boss, flying,
// then the race.
inline constexpr common::Key kBody[4] = {{"female", "女性"}, {"undead", "不死"}, {"boss", "ボス"}, {"flying", "飛行"}};
inline constexpr common::Key kDrops[2] = {{"drop_high", "高確率"}, {"drop_low", "低確率"}};
inline constexpr common::Key kWeapons[2] = {{"weapon_1", "武器1"}, {"weapon_2", "武器2"}};
inline constexpr common::Key kTargets[3] = {
    {"targets_emperor", "皇帝"}, {"targets_low_hp", "低HPキャラクタ"}, {"targets_high_hp", "高HPキャラクタ"}};
inline constexpr common::Key kRateIndex{"pattern_rate_index", ""};
inline constexpr common::Key kPatternShares[2] = {{"pattern_1_share", "行動パターン1選択率"},
                                          {"pattern_2_share", "行動パターン2選択率"}};

// Characters and special characters: weapon kinds and schools of magic as
// flags and as levels.
inline constexpr common::Key kWeaponAptitude{"weapon_aptitude", ""};
inline constexpr common::Key kMagicAptitude{"magic_aptitude", ""};
inline constexpr common::Key kWeaponFlags[5] = {{"sword_flag", "剣"}, {"axe_flag", "斧"}, {"spear_flag", "槍"},
                                        {"bow_flag", "弓"},   {"martial_arts_flag", "体術"}};
inline constexpr common::Key kMagicFlags[6] = {{"fire_flag", "火"}, {"water_flag", "水"},   {"earth_flag", "地"},
                                       {"wind_flag", "風"}, {"heaven_flag", "天"}, {"underworld_flag", "冥"}};
inline constexpr common::Key kWeaponLevels[5] = {{"sword_level", "剣"}, {"axe_level", "斧"}, {"spear_level", "槍"},
                                         {"bow_level", "弓"},   {"martial_arts_level", "体術"}};
inline constexpr common::Key kMagicLevels[6] = {{"fire_level", "火"}, {"water_level", "水"},   {"earth_level", "地"},
                                        {"wind_level", "風"}, {"heaven_level", "天"}, {"underworld_level", "冥"}};

// The skill level tables.
inline constexpr common::Key kLevel{"level", "LV"};

// Items.
inline constexpr common::Key kDisplay{"display", "表示"};
inline constexpr common::Key kBonuses[6] = {{"strength_bonus", "腕力"}, {"dexterity_bonus", "器用"},
                                    {"magic_power_bonus", "魔力"}, {"unknown_bonus", "不明"},
                                    {"speed_bonus", "素早"},    {"stamina_bonus", "体力"}};

// Byte 0 and the abilities of a table of character-like records.
inline void add_body(std::vector<common::StoredField>& s, const char* table, const common::TableLayout* records,
                     bool nibble_abilities) {
    namespace b = layout::body;
    const common::Field body[4] = {b::kFemale, b::kUndead, b::kBoss, b::kFlying};
    for (int f = 0; f < 4; ++f) s.push_back({table, kBody[f], records, body[f]});
    s.push_back({table, kRace, records, b::kRace});
    for (int a = 0; a < 6; ++a) {
        s.push_back({table, kAbilities[a], records, nibble_abilities ? b::kAbilities[a] : layout::monster::kAbilities[a]});
    }
}

// The fields that mt2import writes as they stand, in the importer's order.
// (The nested rows, action patterns, learning lists and formation members,
// the importer adds with the shared keys.)
inline std::vector<common::StoredField> stored_fields() {
    namespace m = layout::monster;
    std::vector<common::StoredField> s;
    const common::TableLayout* mon = &layout::kMonsterRecords;
    s.push_back({"monsters", kTechPoints, &layout::kTechPoints, common::word_field(0)});
    for (auto [key, field] : {std::pair{kHp, m::kHp}, {kLp, m::kLp}, {kTechLevel, m::kTechLevel},
                              {kSpellLevel, m::kSpellLevel}, {kShieldDefence, m::kShieldDefence},
                              {kEvasion, m::kEvasion}, {kShieldAttributes, m::kShieldAttributes},
                              {kStatusResistances, m::kStatusResistances}, {kDrops[0], m::kDrops[0]},
                              {kDrops[1], m::kDrops[1]}, {kWeapons[0], m::kWeapons[0]}, {kWeapons[1], m::kWeapons[1]},
                              {kTargets[0], m::kTargets[0]}, {kTargets[1], m::kTargets[1]},
                              {kTargets[2], m::kTargets[2]}, {kRateIndex, m::kRateIndex}}) {
        s.push_back({"monsters", key, mon, field});
    }
    for (int d = 0; d < 8; ++d) s.push_back({"monsters", kDefences[d], mon, m::kDefences[d]});
    add_body(s, "monsters", mon, false);

    namespace c = layout::character;
    const common::TableLayout* chr = &layout::kCharacterRecords;
    for (auto [key, field] : {std::pair{kLp, c::kLp}, {kSparkType, c::kSparkType},
                              {kWeaponAptitude, c::kWeaponAptitude}, {kMagicAptitude, c::kMagicAptitude}}) {
        s.push_back({"characters", key, chr, field});
    }
    for (int w = 0; w < 5; ++w) s.push_back({"characters", kWeaponFlags[w], chr, c::kWeapons[w]});
    for (int g = 0; g < 6; ++g) s.push_back({"characters", kMagicFlags[g], chr, c::kMagic[g]});
    add_body(s, "characters", chr, true);

    namespace p = layout::special;
    const common::TableLayout* sp = &layout::kSpecialRecords;
    s.push_back({"special-characters", kLp, sp, p::kLp});
    s.push_back({"special-characters", kSparkType, sp, p::kSparkType});
    for (int w = 0; w < 5; ++w) s.push_back({"special-characters", kWeaponLevels[w], sp, p::kWeaponLevels[w]});
    for (int g = 0; g < 6; ++g) s.push_back({"special-characters", kMagicLevels[g], sp, p::kMagicLevels[g]});
    add_body(s, "special-characters", sp, true);

    namespace i = layout::item;
    s.push_back({"items", kPrice, &layout::kItemPrices, common::word_field(0)});
    s.push_back({"items", kDisplay, &layout::kItemAttributes, i::kDisplay});
    for (auto [key, field] : {std::pair{kAttack, i::kAttack}, {kWeight, i::kWeaponWeight},
                              {common::shared_keys::kTechs[0], i::kTechs[0]}, {common::shared_keys::kTechs[1], i::kTechs[1]}}) {
        s.push_back({"items", key, &layout::kWeaponRecords, field});
    }
    const common::TableLayout* armour = &layout::kArmourRecords;
    for (int d = 0; d < 8; ++d) s.push_back({"items", kDefences[d], armour, i::kDefences[d], false, {}, layout::kArmourItems.first});
    s.push_back({"items", kStatusResistances, armour, i::kStatuses, false, {}, layout::kArmourItems.first});
    s.push_back({"items", kWeight, armour, i::kArmourWeight, false, {}, layout::kArmourItems.first});
    for (auto [key, field] : {std::pair{kDefenceAttributes, i::kAttributes}, {kDefence, i::kDefence},
                              {kEvasion, i::kEvasion}, {kWeight, i::kShieldWeight}}) {
        s.push_back({"items", key, &layout::kShieldRecords, field, false, {}, layout::kShieldItems.first});
    }

    namespace sk = common::shared_keys;
    s.push_back({"techniques", sk::kDerivation, &layout::kTechRecords, layout::tech::kDerivation});
    s.push_back({"techniques", sk::kEvade, &layout::kTechRecords, layout::tech::kEvade});
    s.push_back({"techniques", sk::kLearnTypes, &layout::kLearnTypes, common::word_field(0), false, common::BitOrder::kLowestFirst});
    s.push_back({"techniques", sk::kDifficulty, &layout::kDifficulties, common::byte_field(0)});
    s.push_back({"skill-levels", kTechPoints, &layout::kSkillLevels, common::word_field(0)});
    s.push_back({"overall-skill-levels", kTechPoints, &layout::kOverallSkillLevels, common::word_field(0)});
    return s;
}

// Columns that follow from a row's place in its table.
inline constexpr char kRowLevel[] = "the level of the row: its index + 1";

// The columns that mt2import does not write, and what to change instead.
inline std::vector<common::ComputedField> computed_fields(const char* learning_count) {
    std::vector<common::ComputedField> c = {
        {"monsters", kWp, kTechLevel.key},
        {"monsters", kJp, kSpellLevel.key},
        {"special-characters", kWp, "sword_level axe_level spear_level bow_level martial_arts_level",
         "the sum of the weapon levels and twice the highest"},
        {"special-characters", kJp, "fire_level water_level earth_level wind_level heaven_level underworld_level",
         "the sum of the magic levels, twice the highest and 5"},
        {"skill-levels", kLevel, nullptr, kRowLevel},
        {"overall-skill-levels", kLevel, nullptr, kRowLevel},
        {"items", common::shared_keys::kKind, nullptr, kItemKind},
        {"monsters", kPatternShares[0], kRateIndex.key},
        {"monsters", kPatternShares[1], kRateIndex.key},
        {"formation-members", common::shared_keys::kActualRear, common::shared_keys::kSpeed.key, "bit 0 of the speed modifier"},
        {"learning-lists", common::shared_keys::kCount, nullptr, learning_count}};
    for (const common::Key& b : kBonuses) c.push_back({"items", b, nullptr, kBonus});
    return c;
}

}  // namespace mt2::fields
