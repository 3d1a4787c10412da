// What mt2import writes of game A through the game's layout: the stored
// fields of monsters and their action patterns, characters, special
// characters, items (the armour bonuses aside), techniques, the learning
// lists, the skill level tables and the formations, and the names of
// monsters, characters, special characters, items, techniques (those the
// image holds) and formations.
#include <iterator>

#include "analyzer_a/layout.h"
#include "analyzer_a/techniques.h"
#include "import/games.h"

namespace {

namespace map = mt2::layout;

const char* const kAbilities[6] = {"strength", "dexterity", "magic_power", "unknown", "speed", "stamina"};
const char* const kDefences[8] = {"defence_slash", "defence_blunt",  "defence_thrust",  "defence_shot",
                                  "defence_heat",  "defence_cold",   "defence_thunder", "defence_status"};
const char* const kWeaponFlags[5] = {"sword_flag", "axe_flag", "spear_flag", "bow_flag", "martial_arts_flag"};
const char* const kMagicFlags[6] = {"fire_flag", "water_flag", "earth_flag", "wind_flag", "heaven_flag",
                                    "underworld_flag"};
const char* const kWeaponLevels[5] = {"sword_level", "axe_level", "spear_level", "bow_level", "martial_arts_level"};
const char* const kMagicLevels[6] = {"fire_level", "water_level", "earth_level", "wind_level", "heaven_level",
                                     "underworld_level"};

// Byte 0 and the abilities of a table of character-like records.
void add_body(std::vector<StoredColumn>& s, const char* table, const TableLayout* records, bool nibble_abilities) {
    namespace b = map::body;
    for (auto [key, field] : {std::pair{"female", b::kFemale}, {"undead", b::kUndead}, {"boss", b::kBoss},
                              {"flying", b::kFlying}, {"race", b::kRace}}) {
        s.push_back({table, key, records, field});
    }
    for (int a = 0; a < 6; ++a) {
        s.push_back({table, kAbilities[a], records,
                     nibble_abilities ? b::kAbilities[a] : map::monster::kAbilities[a]});
    }
}

// A member's selection rate is its upper bound minus its lower bound plus 1:
// the upper bound is written, the lower bound kept.
bool encode_rate(uint8_t* record, int member, long rate, long* lo, long* hi) {
    namespace f = map::formation;
    const uint8_t* entry = record + f::kEntrySize * member;
    const long low = f::kLow.get(entry);
    *lo = 1 - low;
    *hi = f::kHigh.max() + 1 - low;
    if (rate < *lo || rate > *hi) return false;
    f::kHigh.put(record + f::kEntrySize * member, low + rate - 1);
    return true;
}

// The action patterns lie before the overall skill level table and run into
// it: the game reads a pattern's bytes only where a monster uses the
// pattern.
bool pattern_used(const uint8_t* rom, size_t size, long offset) {
    const TableLayout& patterns = map::kActionPatterns;
    const int pattern = static_cast<int>((offset - patterns.offset) / patterns.record_size);
    for (int n = 0; n < map::kMonsterRecords.count; ++n) {
        const long record = map::kMonsterRecords.record(n);
        if (static_cast<size_t>(record + map::kMonsterRecords.record_size) > size) break;
        for (const Field& p : map::monster::kPatterns) {
            if (p.get(rom + record) == pattern) return true;
        }
    }
    return false;
}

std::vector<ReadTable> read_tables() {
    std::vector<ReadTable> read;
    for (const TableLayout& t : map::kTables) {
        read.push_back({&t});
        if (t.offset == map::kActionPatterns.offset) read.back().reads = pattern_used;
        if (t.offset == map::kLearningList1.offset) read.back().reads = learning_reads<map::kLearningList1>;
        if (t.offset == map::kLearningList2.offset) read.back().reads = learning_reads<map::kLearningList2>;
    }
    return read;
}

// Stored, but not written yet: the six bonuses share one amount, so that an
// edit would have to agree across the columns.
const char kBonus[] = "the bonuses of an armour share one amount; this version does not write them";

// Columns that follow from a row's place in its table.
const char kRowLevel[] = "the level of the row: its index + 1";
const char kItemKind[] = "the kind of an item follows from its index";

int tech_name_record(int index) { return index < mt2::kFixedTechNames ? -1 : index; }

// The nested rows: action patterns, learning lists, formation members.
void add_nested(std::vector<StoredColumn>& s) {
    s.push_back({"monster-actions", "tech", &map::kActionPatterns, byte_field(0), false, {}, 0,
                 action_slot<map::kMonsterRecords, map::monster::kPatterns, map::kActionPatterns>});
    add_learning_columns<map::kLearningList1, map::kLearningList2>(s);
    const TableLayout* formations = &map::kFormationRecords;
    s.push_back({"formation-members", "rate", formations, map::formation::kHigh, false, {}, 0,
                 formation_record<map::kFormationRecords>, -1, encode_rate});
    add_member_flag_columns(
        s, formations,
        member_flags_at<map::kFormationRecords, map::formation::kFlagByte, map::formation::kEntrySize>);
}

std::vector<StoredColumn> stored() {
    std::vector<StoredColumn> s;
    namespace m = map::monster;
    const TableLayout* mon = &map::kMonsterRecords;
    s.push_back({"monsters", "tech_points", &map::kTechPoints, word_field(0)});
    for (auto [key, field] : {std::pair{"hp", m::kHp}, {"lp", m::kLp}, {"tech_level", m::kTechLevel},
                              {"spell_level", m::kSpellLevel}, {"shield_defence", m::kShieldDefence},
                              {"evasion", m::kEvasion}, {"shield_attributes", m::kShieldAttributes},
                              {"status_resistances", m::kStatusResistances}, {"drop_high", m::kDrops[0]},
                              {"drop_low", m::kDrops[1]}, {"weapon_1", m::kWeapons[0]}, {"weapon_2", m::kWeapons[1]},
                              {"targets_emperor", m::kTargets[0]}, {"targets_low_hp", m::kTargets[1]},
                              {"targets_high_hp", m::kTargets[2]}, {"pattern_rate_index", m::kRateIndex}}) {
        s.push_back({"monsters", key, mon, field});
    }
    for (int d = 0; d < 8; ++d) s.push_back({"monsters", kDefences[d], mon, m::kDefences[d]});
    add_body(s, "monsters", mon, false);

    namespace c = map::character;
    const TableLayout* chr = &map::kCharacterRecords;
    for (auto [key, field] : {std::pair{"lp", c::kLp}, {"spark_type", c::kSparkType},
                              {"weapon_aptitude", c::kWeaponAptitude}, {"magic_aptitude", c::kMagicAptitude}}) {
        s.push_back({"characters", key, chr, field});
    }
    for (int w = 0; w < 5; ++w) s.push_back({"characters", kWeaponFlags[w], chr, c::kWeapons[w]});
    for (int g = 0; g < 6; ++g) s.push_back({"characters", kMagicFlags[g], chr, c::kMagic[g]});
    add_body(s, "characters", chr, true);

    namespace p = map::special;
    const TableLayout* sp = &map::kSpecialRecords;
    s.push_back({"special-characters", "lp", sp, p::kLp});
    s.push_back({"special-characters", "spark_type", sp, p::kSparkType});
    for (int w = 0; w < 5; ++w) s.push_back({"special-characters", kWeaponLevels[w], sp, p::kWeaponLevels[w]});
    for (int g = 0; g < 6; ++g) s.push_back({"special-characters", kMagicLevels[g], sp, p::kMagicLevels[g]});
    add_body(s, "special-characters", sp, true);

    namespace i = map::item;
    s.push_back({"items", "price", &map::kItemPrices, word_field(0)});
    s.push_back({"items", "display", &map::kItemAttributes, i::kDisplay});
    const TableLayout* weapons = &map::kWeaponRecords;
    for (auto [key, field] : {std::pair{"attack", i::kAttack}, {"weight", i::kWeaponWeight},
                              {"tech_1", i::kTechs[0]}, {"tech_2", i::kTechs[1]}}) {
        s.push_back({"items", key, weapons, field});
    }
    const TableLayout* armour = &map::kArmourRecords;
    for (int d = 0; d < 8; ++d) s.push_back({"items", kDefences[d], armour, i::kDefences[d], false, {}, 96});
    s.push_back({"items", "status_resistances", armour, i::kStatuses, false, {}, 96});
    s.push_back({"items", "weight", armour, i::kArmourWeight, false, {}, 96});
    const TableLayout* shields = &map::kShieldRecords;
    for (auto [key, field] : {std::pair{"defence_attributes", i::kAttributes}, {"defence", i::kDefence},
                              {"evasion", i::kEvasion}, {"weight", i::kShieldWeight}}) {
        s.push_back({"items", key, shields, field, false, {}, 192});
    }

    s.push_back({"techniques", "derivation", &map::kTechRecords, map::tech::kDerivation});
    s.push_back({"techniques", "evade", &map::kTechRecords, map::tech::kEvade});
    s.push_back({"techniques", "learn_types", &map::kLearnTypes, word_field(0), false, BitOrder::kLowestFirst});
    s.push_back({"techniques", "difficulty", &map::kDifficulties, byte_field(0)});
    s.push_back({"skill-levels", "tech_points", &map::kSkillLevels, word_field(0)});
    s.push_back({"overall-skill-levels", "tech_points", &map::kOverallSkillLevels, word_field(0)});
    add_nested(s);
    return s;
}

}  // namespace

const ImportLayout& game_a_import() {
    static const ImportLayout layout{
        stored(),
        {{"monsters", &map::kMonsterNames},
         {"items", &map::kItemNames},
         {"characters", &map::kCharacterNames},
         {"special-characters", &map::kSpecialNames},
         {"techniques", &map::kTechNames, tech_name_record},
         {"formations", &map::kFormationNames}},
        {{"monsters", "wp", "tech_level"},
         {"monsters", "jp", "spell_level"},
         {"special-characters", "wp", "sword_level axe_level spear_level bow_level martial_arts_level",
          "the sum of the weapon levels and twice the highest"},
         {"special-characters", "jp", "fire_level water_level earth_level wind_level heaven_level underworld_level",
          "the sum of the magic levels, twice the highest and 5"},
         {"skill-levels", "level", nullptr, kRowLevel},
         {"overall-skill-levels", "level", nullptr, kRowLevel},
         {"items", "kind", nullptr, kItemKind},
         {"monsters", "pattern_1_share", "pattern_rate_index"},
         {"monsters", "pattern_2_share", "pattern_rate_index"},
         {"formation-members", "actual_rear_defence", "speed", "bit 0 of the speed modifier"},
         {"learning-lists", "count", nullptr, kLearningCount},
         {"items", "strength_bonus", nullptr, kBonus},
         {"items", "dexterity_bonus", nullptr, kBonus},
         {"items", "magic_power_bonus", nullptr, kBonus},
         {"items", "unknown_bonus", nullptr, kBonus},
         {"items", "speed_bonus", nullptr, kBonus},
         {"items", "stamina_bonus", nullptr, kBonus}},
        read_tables(),
        kGameACharTables,
    };
    return layout;
}
