// What mt3import writes of game B through the game's layout: the stored
// fields of monsters, characters, items (armour levels and bonuses aside)
// and techniques, and the names of monsters, items and techniques.
#include "analyzer_b/layout.h"
#include "import/games.h"

namespace {

namespace map = mt3::layout;

const char* const kStats[11] = {"strength",   "dexterity",   "speed",       "stamina",
                                "magic_power", "willpower",  "charm",       "tech_level",
                                "spell_level", "upper_level", "spark_level"};
const char* const kMonsterFlags[9] = {"male",         "female",       "undead",         "unknown_flag", "resist_water",
                                      "resist_throw", "resist_sound", "resist_congeal", "resist_earth"};
const char* const kResistFlags[5] = {"resist_water", "resist_throw", "resist_sound", "resist_congeal",
                                     "resist_earth"};
const char* const kSlots[5] = {"weapon_1", "weapon_2", "shield", "armour_1", "armour_2"};
const char* const kSkills[11] = {"sword",       "axe",            "spear",       "bow",
                                 "martial_arts", "blue_dragon",   "vermilion_bird", "white_tiger",
                                 "black_tortoise", "sun",         "moon"};
const char* const kCharacterFlags[13] = {"male",       "female",       "undead",          "unknown_flag",
                                         "hp_flag",    "sword_flag",   "axe_flag",        "spear_flag",
                                         "bow_flag",   "martial_arts_flag", "earth_arts_flag", "heaven_arts_flag",
                                         "unknown_flag_2"};

std::vector<StoredColumn> stored() {
    std::vector<StoredColumn> s;
    namespace m = map::monster;
    const TableLayout* mon = &map::kMonsterRecords;
    s.push_back({"monsters", "hp", mon, m::kHp});
    for (int i = 0; i < 11; ++i) s.push_back({"monsters", kStats[i], mon, m::kStats[i]});
    for (int i = 0; i < 9; ++i) s.push_back({"monsters", kMonsterFlags[i], mon, m::kFlags[i]});
    s.push_back({"monsters", "race", mon, m::kRace});
    s.push_back({"monsters", "recovery", mon, m::kRecovery});
    // Unarmed where the blade flag is clear.
    s.push_back({"monsters", "unarmed_1", mon, m::kBlades[0], true});
    s.push_back({"monsters", "unarmed_2", mon, m::kBlades[1], true});
    for (int i = 0; i < 5; ++i) s.push_back({"monsters", kSlots[i], mon, m::kSlots[i]});
    s.push_back({"monsters", "size_1", &map::kMonsterSizes, m::kWidth});
    s.push_back({"monsters", "size_2", &map::kMonsterSizes, m::kHeight});

    namespace c = map::character;
    const TableLayout* chr = &map::kCharacterRecords;
    s.push_back({"characters", "hp", chr, c::kHp});
    for (int i = 0; i < 7; ++i) s.push_back({"characters", kStats[i], chr, c::kStats[i]});
    for (int i = 0; i < 13; ++i) s.push_back({"characters", kCharacterFlags[i], chr, c::kFlags[i]});
    for (auto [key, field] : {std::pair{"type", c::kType}, {"spark_type", c::kSparkType},
                              {"guardian_star", c::kGuardianStar}, {"arts", c::kArts}, {"weapon", c::kWeapon}}) {
        s.push_back({"characters", key, chr, field});
    }
    static std::vector<std::string> ups;
    if (ups.empty()) {
        ups = {"hp_up", "wp_up", "jp_up"};
        for (const char* skill : kSkills) ups.push_back(std::string(skill) + "_up");
    }
    for (int i = 0; i < 14; ++i) s.push_back({"characters", ups[i].c_str(), &map::kLevelUpRecords, c::kLevelUps[i]});

    namespace it = map::item;
    s.push_back({"items", "price", &map::kItemPrices, word_field(0)});
    for (auto [key, field] : {std::pair{"attack", it::kAttack}, {"weight", it::kWeight}, {"tech_1", it::kTechs[0]},
                              {"tech_2", it::kTechs[1]}}) {
        s.push_back({"items", key, &map::kWeaponRecords, field, false, {}, 8});
    }
    for (auto [key, field] : {std::pair{"defence", it::kDefence}, {"evasion", it::kEvasion},
                              {"defence_attributes", it::kAttributes}, {"weight", it::kWeight}}) {
        s.push_back({"items", key, &map::kShieldRecords, field, false, {}, 80});
    }
    for (auto [key, field] : {std::pair{"physical_defence", it::kPhysicalDefence}, {"magic_defence", it::kMagicDefence},
                              {"status_resistances", it::kStatuses}, {"weight", it::kArmourWeight}}) {
        s.push_back({"items", key, &map::kArmourRecords, field, false, {}, 96});
    }
    for (int f = 0; f < 5; ++f) s.push_back({"items", kResistFlags[f], &map::kArmourRecords, it::kResistFlags[f], false, {}, 96});

    s.push_back({"techniques", "derivation", &map::kLowTechRecords, map::tech::kDerivation});
    s.push_back({"techniques", "learn_types", &map::kLearnTypes, word_field(0), false, BitOrder::kLowestFirst});
    s.push_back({"techniques", "evade", &map::kHighTechRecords, map::tech::kEvade, false, {}, 256});
    s.push_back({"techniques", "difficulty", &map::kDifficulties, byte_field(0), false, {}, 256});
    return s;
}

}  // namespace

const ImportLayout& game_b_import() {
    static const ImportLayout layout{
        stored(),
        {{"monsters", &map::kMonsterNames}, {"items", &map::kItemNames}, {"techniques", &map::kTechNames}},
        {},
        kGameBCharTables,
    };
    return layout;
}
