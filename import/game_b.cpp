// What mt3import writes of game B through the game's layout: the stored
// fields of monsters (with their drop table entries) and their action
// patterns, the encounter tables, characters, items (armour levels and
// bonuses aside), techniques, the learning lists and the formations, and the
// names of monsters, characters, items, techniques and formations.
#include <algorithm>

#include "analyzer_b/characters.h"
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

// The selection rates are differences of cumulative bounds: a member's new
// rate moves its bound and every later one by the same amount, so that the
// other members keep their rates.
bool encode_rate(uint8_t* record, int member, long rate, long* lo, long* hi) {
    const long now = record[member] - (member ? record[member - 1] : 0);
    const uint8_t* later = record + member;
    const int count = map::formation::kFlagBytes - member;
    *lo = now - *std::min_element(later, later + count);
    *hi = now + 255 - *std::max_element(later, later + count);
    if (rate < *lo || rate > *hi) return false;
    for (int b = member; b < map::formation::kFlagBytes; ++b) record[b] = static_cast<uint8_t>(record[b] + rate - now);
    return true;
}

// A monster's drop table entry, which monsters may share.
long drop_entry(const uint8_t* rom, size_t size, int, int monster) {
    const long record = map::kMonsterRecords.record(monster);
    if (monster < 0 || static_cast<size_t>(record + map::kMonsterRecords.record_size) > size) return -1;
    return map::kDropTable.record(map::monster::kDropEntry.get(rom + record));
}

// A main encounter row, and the encounter type it names (which rows share).
long main_row(const uint8_t*, size_t, int group, int row) {
    return group >= 0 && group < map::kMainEncounters.count ? map::kMainEncounters.record(group) + 2 * row : -1;
}
long encounter_type(const uint8_t* rom, size_t size, int group, int row) {
    const long at = main_row(rom, size, group, row);
    if (at < 0 || static_cast<size_t>(at + 2) > size) return -1;
    const int type = map::encounter::kType.get(rom + at);
    return type < map::kEncounterTypes.count ? map::kEncounterTypes.record(type) : -1;
}
long sub_entry(const uint8_t*, size_t, int type, int entry) {
    return type >= 0 && type < map::kSubEncounters.count ? map::kSubEncounters.record(type) + 2 * entry : -1;
}

std::vector<ReadTable> read_tables() {
    std::vector<ReadTable> read;
    for (const TableLayout& t : map::kTables) {
        read.push_back({&t});
        if (t.offset == map::kLearningList1.offset) read.back().reads = learning_reads<map::kLearningList1>;
        if (t.offset == map::kLearningList2.offset) read.back().reads = learning_reads<map::kLearningList2>;
    }
    return read;
}

const char* const kDropKeys[4] = {"drop_100", "drop_high", "drop_middle", "drop_low"};

// The nested rows and the records found through the image: drop table
// entries, action patterns (techniques 256-511), learning lists, formation
// members, encounter rows.
void add_found(std::vector<StoredColumn>& s) {
    // Drop codes 253 and 254 stand for what the monster carries in weapon
    // slot 1 or 2, so items 253 and 254 cannot be written as drops.
    for (int d = 0; d < 4; ++d) {
        s.push_back({"monsters", kDropKeys[d], &map::kDropTable, map::drop::kDrops[d], false, {}, 0, drop_entry, 252});
    }
    s.push_back({"monsters", "money", &map::kDropTable, map::drop::kMoney, false, {}, 0, drop_entry});
    s.push_back({"monster-actions", "tech", &map::kActionPatterns, {0, 0, 8, 256}, false, {}, 0,
                 action_slot<map::kMonsterRecords, map::monster::kPatterns, map::kActionPatterns>});
    add_learning_columns<map::kLearningList1, map::kLearningList2>(s);
    const TableLayout* formations = &map::kFormationRecords;
    s.push_back({"formation-members", "rate", formations, byte_field(0), false, {}, 0,
                 formation_record<map::kFormationRecords>, -1, encode_rate});
    add_member_flag_columns(s, formations, member_flags_at<map::kFormationRecords, map::formation::kFlagBytes, 1>);
    namespace e = map::encounter;
    s.push_back({"main-encounter-rows", "monster", &map::kMainEncounters, e::kMonster, false, {}, 0, main_row});
    for (auto [key, field] : {std::pair{"max_count", e::kMaxCount}, {"max_size_1", e::kSize1},
                              {"max_size_2", e::kSize2}}) {
        s.push_back({"main-encounter-rows", key, &map::kEncounterTypes, field, false, {}, 0, encounter_type});
    }
    s.push_back({"sub-encounter-entries", "monster", &map::kSubEncounters, e::kSubMonster, false, {}, 0, sub_entry});
    s.push_back({"sub-encounter-entries", "level", &map::kSubEncounters, e::kSubLevel, false, {}, 0, sub_entry});
}

const char* const kWeaponLevels[5] = {"sword_level", "axe_level", "spear_level", "bow_level", "martial_arts_level"};

// What is stored but not written yet: values that share one amount or one
// byte with others, whose edits would have to agree across the columns.
const char kArtsByte[] = "a school's level shares its arts byte with the other schools; this version does not write it";
const char kLevelByte[] =
    "the attribute levels of one kind share one level byte; this version does not write them";
const char kBonus[] = "the bonuses of an armour share one amount; this version does not write them";
const char kEquipment[] = "what the monster's equipment gives";
const char kGraded[] = "graded from the armour's defence and the attribute's level";

std::vector<ComputedColumn> computed() {
    std::vector<ComputedColumn> c = {
        {"main-encounter-rows", "level", nullptr, "the level band of the row, 16 times its index"},
        {"learning-lists", "count", nullptr, kLearningCount},
        {"main-encounters", "name", nullptr, "the tools name the groups themselves; the image has no field for it"},
        {"items", "kind", nullptr, "the kind of an item follows from its index"}};
    for (const char* equipment : {"defence_slash", "defence_blow", "defence_thrust", "defence_shot", "defence_heat",
                                  "defence_cold", "defence_thunder", "defence_status", "shield_defence", "evasion",
                                  "shield_attributes", "status_resistances"}) {
        c.push_back({"monsters", equipment, "weapon_1 weapon_2 shield armour_1 armour_2", kEquipment});
    }
    for (const char* school : {"blue_dragon_level", "vermilion_bird_level", "white_tiger_level", "black_tortoise_level",
                               "sun_level", "moon_level"}) {
        c.push_back({"characters", school, nullptr, kArtsByte});
    }
    const char* const defences[8] = {"defence_slash", "defence_blow",  "defence_thrust",  "defence_shot",
                                     "defence_heat",  "defence_cold",  "defence_thunder", "defence_status"};
    static std::vector<std::string> keys;
    if (keys.empty()) {
        for (const char* d : defences) keys.push_back(std::string(d) + "_level");
        for (const char* b : {"strength", "dexterity", "speed", "stamina", "magic_power", "willpower", "charm"}) {
            keys.push_back(std::string(b) + "_bonus");
        }
    }
    for (int a = 0; a < 8; ++a) {
        c.push_back({"items", keys[static_cast<size_t>(a)].c_str(), nullptr, kLevelByte});
        c.push_back({"items", defences[a], a < 4 ? "physical_defence" : "magic_defence", kGraded});
    }
    for (size_t b = 8; b < keys.size(); ++b) c.push_back({"items", keys[b].c_str(), nullptr, kBonus});
    return c;
}

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
    for (int i = 0; i < 5; ++i) {
        s.push_back({"characters", kWeaponLevels[i], chr, c::kWeapons[i]});
    }
    s.push_back({"characters", "unknown", chr, c::kUnknown});
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
    add_found(s);
    return s;
}

}  // namespace

const ImportLayout& game_b_import() {
    static const ImportLayout layout{
        stored(),
        {{"monsters", &map::kMonsterNames},
         {"items", &map::kItemNames},
         {"techniques", &map::kTechNames},
         {"characters", &map::kCharacterNames, mt3::character_name_record},
         {"formations", &map::kFormationNames}},
        computed(),
        read_tables(),
        kGameBCharTables,
    };
    return layout;
}
