// Game B's export keys, the report headings beside them, and every stored
// field the importer writes: the one list that the exporter's columns, the
// JSON Schema, the comparison and mt3import are made from. Labels are UTF-8:
// only the exporter and the importer include this file.
#pragma once

#include <utility>
#include <vector>

#include "common/export_keys.h"
#include "common/record_keys.h"
#include "games/b/layout.h"

namespace mt3::fields {

// The keys that both games export under one name (kHp, kPrice, ...).
using namespace common::record_keys;

// Monsters.
// The seven attributes in record order (monster statistics, characters'
// parameters), then the monsters' four levels.
inline constexpr common::Key kStats[11] = {{"strength", "腕力"},     {"dexterity", "器用"},   {common::shared_keys::kSpeed.key, "素早"},
                                   {"stamina", "体力"},      {"magic_power", "魔力"}, {"willpower", "意志"},
                                   {"charm", "魅力"},        {"tech_level", "技LV"},  {"spell_level", "術LV"},
                                   {"upper_level", "上LV"},  {"spark_level", "閃LV"}};
// Male, female, undead, unknown, then the five resistances.
inline constexpr common::Key kMonsterFlags[9] = {{"male", "男性"},         {"female", "女性"},       {"undead", "不死"},
                                         {"unknown_flag", "不明"}, {"resist_water", "耐水"}, {"resist_throw", "耐投"},
                                         {"resist_sound", "耐音"}, {"resist_congeal", "耐凝"}, {"resist_earth", "耐地"}};
inline constexpr const common::Key* kResistFlags = kMonsterFlags + 4;
inline constexpr common::Key kRecovery{"recovery", "回復"};
inline constexpr common::Key kUnarmed[2] = {{"unarmed_1", "無刀1"}, {"unarmed_2", "無刀2"}};
inline constexpr common::Key kSlots[5] = {
    {"weapon_1", "武器1"}, {"weapon_2", "武器2"}, {"shield", "盾"}, {"armour_1", "防具1"}, {"armour_2", "防具2"}};
inline constexpr common::Key kMoney{"money", "お金"};
inline constexpr common::Key kDrops[4] = {
    {"drop_100", "100%"}, {"drop_high", "高確率"}, {"drop_middle", "中確率"}, {"drop_low", "低確率"}};
inline constexpr common::Key kSizes[2] = {{"size_1", "サイズ"}, {"size_2", "サイズ"}};
// What a monster's equipment gives it (and an armour's graded defences).
inline constexpr common::Key kDefences[8] = {{"defence_slash", "防斬"},  {"defence_blow", "防打"},
                                     {"defence_thrust", "防突"}, {"defence_shot", "防射"},
                                     {"defence_heat", "防熱"},   {"defence_cold", "防冷"},
                                     {"defence_thunder", "防雷"}, {"defence_status", "防状"}};

// Encounters: a main encounter row's group (CSV only), a sub encounter
// entry's type (CSV only), the row's or entry's values.
inline constexpr common::Key kGroupName{"group_name", ""};
inline constexpr common::Key kSubType{"type", ""};
inline constexpr common::Key kMonster{common::shared_keys::kMonster.key, "モンスター"};
inline constexpr common::Key kLevel{"level", "Lv."};
inline constexpr common::Key kMaxCount{"max_count", "最大数"};
inline constexpr common::Key kMaxSizes[2] = {{"max_size_1", "最大サイズ"}, {"max_size_2", "最大サイズ"}};

// Characters: the weapon and arts levels (parameters after the seven
// attributes), 不明, the level-up values, the flags.
inline constexpr common::Key kSkillLevels[11] = {
    {"sword_level", "剣"},          {"axe_level", "斧"},           {"spear_level", "槍"},
    {"bow_level", "弓"},            {"martial_arts_level", "体術"}, {"blue_dragon_level", "蒼龍"},
    {"vermilion_bird_level", "朱鳥"}, {"white_tiger_level", "白虎"}, {"black_tortoise_level", "玄武"},
    {"sun_level", "太陽"},          {"moon_level", "月"}};
inline constexpr common::Key kUnknown{"unknown", "不明"};
inline constexpr common::Key kLevelUps[14] = {
    {"hp_up", "HP"},           {"wp_up", "WP"},              {"jp_up", "JP"},
    {"sword_up", "剣"},        {"axe_up", "斧"},             {"spear_up", "槍"},
    {"bow_up", "弓"},          {"martial_arts_up", "体術"},  {"blue_dragon_up", "蒼龍"},
    {"vermilion_bird_up", "朱鳥"}, {"white_tiger_up", "白虎"}, {"black_tortoise_up", "玄武"},
    {"sun_up", "太陽"},        {"moon_up", "月"}};
inline constexpr common::Key kType{"type", "TYPE"};
inline constexpr common::Key kGuardianStar{"guardian_star", "宿星"};
inline constexpr common::Key kWeapon{"weapon", "武器"};
inline constexpr common::Key kArts{"arts", "術"};
inline constexpr common::Key kCharacterFlags[13] = {
    {"male", "男性"},          {"female", "女性"},         {"undead", "不死"},
    {"unknown_flag", "不明"},  {"hp_flag", "HP"},          {"sword_flag", "剣"},
    {"axe_flag", "斧"},        {"spear_flag", "槍"},       {"bow_flag", "弓"},
    {"martial_arts_flag", "体術"}, {"earth_arts_flag", "地術"}, {"heaven_arts_flag", "天術"},
    {"unknown_flag_2", "不明"}};

// Items.
inline constexpr common::Key kPhysicalDefence{"physical_defence", "物防"};
inline constexpr common::Key kMagicDefence{"magic_defence", "魔防"};
inline constexpr common::Key kDefenceLevels[8] = {
    {"defence_slash_level", "防斬"}, {"defence_blow_level", "防打"},   {"defence_thrust_level", "防突"},
    {"defence_shot_level", "防射"},  {"defence_heat_level", "防熱"},   {"defence_cold_level", "防冷"},
    {"defence_thunder_level", "防雷"}, {"defence_status_level", "防状"}};
inline constexpr common::Key kBonuses[7] = {{"strength_bonus", "腕力"}, {"dexterity_bonus", "器用"},
                                    {"speed_bonus", "素早"},    {"stamina_bonus", "体力"},
                                    {"magic_power_bonus", "魔力"}, {"willpower_bonus", "意志"},
                                    {"charm_bonus", "魅力"}};

// The fields that mt3import writes as they stand, in the importer's order.
// (The rows found through the image, drop table entries, encounter rows and
// nested rows, the importer adds with the keys above.)
inline std::vector<common::StoredField> stored_fields() {
    namespace m = layout::monster;
    namespace c = layout::character;
    namespace it = layout::item;
    std::vector<common::StoredField> s;
    const common::TableLayout* mon = &layout::kMonsterRecords;
    s.push_back({"monsters", kHp, mon, m::kHp});
    for (int i = 0; i < 11; ++i) s.push_back({"monsters", kStats[i], mon, m::kStats[i]});
    for (int i = 0; i < 9; ++i) s.push_back({"monsters", kMonsterFlags[i], mon, m::kFlags[i]});
    s.push_back({"monsters", kRace, mon, m::kRace});
    s.push_back({"monsters", kRecovery, mon, m::kRecovery});
    // Unarmed where the blade flag is clear.
    for (int i = 0; i < 2; ++i) s.push_back({"monsters", kUnarmed[i], mon, m::kBlades[i], true});
    for (int i = 0; i < 5; ++i) s.push_back({"monsters", kSlots[i], mon, m::kSlots[i]});
    s.push_back({"monsters", kSizes[0], &layout::kMonsterSizes, m::kWidth});
    s.push_back({"monsters", kSizes[1], &layout::kMonsterSizes, m::kHeight});

    const common::TableLayout* chr = &layout::kCharacterRecords;
    s.push_back({"characters", kHp, chr, c::kHp});
    for (int i = 0; i < 7; ++i) s.push_back({"characters", kStats[i], chr, c::kStats[i]});
    for (int i = 0; i < 13; ++i) s.push_back({"characters", kCharacterFlags[i], chr, c::kFlags[i]});
    for (auto [key, field] : {std::pair{kType, c::kType}, {kSparkType, c::kSparkType},
                              {kGuardianStar, c::kGuardianStar}, {kArts, c::kArts}, {kWeapon, c::kWeapon}}) {
        s.push_back({"characters", key, chr, field});
    }
    for (int i = 0; i < 5; ++i) s.push_back({"characters", kSkillLevels[i], chr, c::kWeapons[i]});
    s.push_back({"characters", kUnknown, chr, c::kUnknown});
    for (int i = 0; i < 14; ++i) s.push_back({"characters", kLevelUps[i], &layout::kLevelUpRecords, c::kLevelUps[i]});

    s.push_back({"items", kPrice, &layout::kItemPrices, common::word_field(0)});
    for (auto [key, field] : {std::pair{kAttack, it::kAttack}, {kWeight, it::kWeight},
                              {common::shared_keys::kTechs[0], it::kTechs[0]}, {common::shared_keys::kTechs[1], it::kTechs[1]}}) {
        s.push_back({"items", key, &layout::kWeaponRecords, field, false, {}, layout::kWeaponItems.first});
    }
    for (auto [key, field] : {std::pair{kDefence, it::kDefence}, {kEvasion, it::kEvasion},
                              {kDefenceAttributes, it::kAttributes}, {kWeight, it::kWeight}}) {
        s.push_back({"items", key, &layout::kShieldRecords, field, false, {}, layout::kShieldItems.first});
    }
    for (auto [key, field] : {std::pair{kPhysicalDefence, it::kPhysicalDefence}, {kMagicDefence, it::kMagicDefence},
                              {kStatusResistances, it::kStatuses}, {kWeight, it::kArmourWeight}}) {
        s.push_back({"items", key, &layout::kArmourRecords, field, false, {}, layout::kArmourItems.first});
    }
    for (int f = 0; f < 5; ++f) {
        s.push_back({"items", kResistFlags[f], &layout::kArmourRecords, it::kResistFlags[f], false, {},
                     layout::kArmourItems.first});
    }

    namespace sk = common::shared_keys;
    s.push_back({"techniques", sk::kDerivation, &layout::kLowTechRecords, layout::tech::kDerivation});
    s.push_back({"techniques", sk::kLearnTypes, &layout::kLearnTypes, common::word_field(0), false, common::BitOrder::kLowestFirst});
    s.push_back({"techniques", sk::kEvade, &layout::kHighTechRecords, layout::tech::kEvade, false, {}, 256});
    s.push_back({"techniques", sk::kDifficulty, &layout::kDifficulties, common::byte_field(0), false, {}, 256});
    return s;
}

// What is stored but not written yet: values that share one amount or one
// byte with others, whose edits would have to agree across the columns.
inline constexpr char kArtsByte[] =
    "a school's level shares its arts byte with the other schools; this version does not write it";
inline constexpr char kLevelByte[] =
    "the attribute levels of one kind share one level byte; this version does not write them";
inline constexpr char kEquipment[] = "what the monster's equipment gives";
inline constexpr char kGraded[] = "graded from the armour's defence and the attribute's level";

// The columns that mt3import does not write, and what to change instead.
inline std::vector<common::ComputedField> computed_fields(const char* learning_count) {
    std::vector<common::ComputedField> c = {
        {"main-encounter-rows", kLevel, nullptr, "the level band of the row, 16 times its index"},
        {"learning-lists", common::shared_keys::kCount, nullptr, learning_count},
        {"main-encounters", common::shared_keys::kName, nullptr,
         "the tools name the groups themselves; the image has no field for it"},
        {"items", common::shared_keys::kKind, nullptr, kItemKind}};
    const char* slots = "weapon_1 weapon_2 shield armour_1 armour_2";
    for (const common::Key& d : kDefences) c.push_back({"monsters", d, slots, kEquipment});
    for (const common::Key& e : {kShieldDefence, kEvasion, kShieldAttributes, kStatusResistances}) {
        c.push_back({"monsters", e, slots, kEquipment});
    }
    for (int s = 5; s < 11; ++s) c.push_back({"characters", kSkillLevels[s], nullptr, kArtsByte});
    for (int a = 0; a < 8; ++a) {
        c.push_back({"items", kDefenceLevels[a], nullptr, kLevelByte});
        c.push_back({"items", kDefences[a], a < 4 ? kPhysicalDefence.key : kMagicDefence.key, kGraded});
    }
    for (const common::Key& b : kBonuses) c.push_back({"items", b, nullptr, kBonus});
    return c;
}

}  // namespace mt3::fields
