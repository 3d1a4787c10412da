// mt3export: every table of a game-B ROM image as UTF-8 JSON and CSV.
#include <iterator>

#include "analyzer_b/characters.h"
#include "analyzer_b/encounters.h"
#include "analyzer_b/formations.h"
#include "analyzer_b/items.h"
#include "analyzer_b/monsters.h"
#include "analyzer_b/techniques.h"
#include "common/files.h"
#include "common/labels.h"
#include "common/monsters.h"
#include "export/exporter.h"
#include "export/shared_tables.h"

namespace mt3 {

namespace {

Column index_column() {
    return number_column("index", [](const Row& r) { return r.index; });
}

void append(Columns& c, Columns more) { c.insert(c.end(), more.begin(), more.end()); }

const char* race(int index) { return race_name(index, kGameBLabels); }

// The eight attack kinds of the defences and attribute levels.
const char* const kAttributes[kAttributeCount] = {"slash", "blow", "thrust", "shot",
                                                  "heat",  "cold", "thunder", "status"};

const char* const kStats[kStatCount] = {"strength",   "dexterity",   "speed",       "vitality",
                                        "magic",      "will",        "charm",       "tech_level",
                                        "spell_level", "upper_level", "spark_level"};
const char* const kMonsterFlags[kMonsterFlagCount] = {"male",         "female",       "undead",
                                                      "unknown",      "resist_water", "resist_throw",
                                                      "resist_sound", "resist_congeal", "resist_earth"};
const char* const kSlots[kSlotCount] = {"weapon_1", "weapon_2", "shield", "armour_1", "armour_2"};
const char* const kDrops[kDropCount] = {"drop_100", "drop_high", "drop_middle", "drop_low"};

// What a monster's equipment gives it, as the parameter and resistance
// reports show it.
Columns equipment_columns(const MonsterRecord* m, const ItemRecord* items) {
    auto values = [m, items](const Row& r) { return equipment_values(m[r.index], items); };
    Columns c;
    for (int a = 0; a < kAttributeCount; ++a) {
        c.push_back(number_column(std::string("defence_") + kAttributes[a],
                                  [values, a](const Row& r) { return values(r).defences[a]; }));
    }
    c.push_back(number_column("shield_defence", [values](const Row& r) { return values(r).shield_defence; }));
    c.push_back(number_column("evasion", [values](const Row& r) { return values(r).evasion; }));
    c.push_back(labels_column("shield_attributes", [values](const Row& r) { return values(r).attributes; },
                              kGameBLabels.attributes));
    c.push_back(labels_column("status_resistances", [values](const Row& r) { return values(r).statuses; },
                              kGameBLabels.statuses));
    return c;
}

Table monster_table(const MonsterRecord* m, const ItemRecord* items) {
    Columns c = {index_column(), text_column("name", [](const Row& r) { return monster_name(r.index); }),
                 number_of("hp", m, &MonsterRecord::hp)};
    for (int s = 0; s < kStatCount; ++s) c.push_back(number_of(kStats[s], m, &MonsterRecord::stats, s));
    append(c, equipment_columns(m, items));
    for (int f = 0; f < kMonsterFlagCount; ++f) c.push_back(flag_of(kMonsterFlags[f], m, &MonsterRecord::flags, f));
    add_reference(c, "race", [m](const Row& r) { return m[r.index].race; }, race);
    add_reference(c, "recovery", [m](const Row& r) { return m[r.index].recovery; }, type_name8);
    c.push_back(flag_of("unarmed_1", m, &MonsterRecord::no_blade, 0));
    c.push_back(flag_of("unarmed_2", m, &MonsterRecord::no_blade, 1));
    for (int s = 0; s < kSlotCount; ++s) {
        add_reference(c, kSlots[s], [m, s](const Row& r) { return m[r.index].slots[s]; }, item_name, kEmptySlot);
    }
    c.push_back(number_of("money", m, &MonsterRecord::money));
    for (int d = 0; d < kDropCount; ++d) {
        add_reference(c, kDrops[d], [m, d](const Row& r) { return m[r.index].drops[d]; }, item_name, kEmptySlot);
    }
    c.push_back(number_of("size_1", m, &MonsterRecord::sizes, 0));
    c.push_back(number_of("size_2", m, &MonsterRecord::sizes, 1));
    Table t{"monsters", "monsters", [](int) { return kMonsterCount; }, std::move(c), {}, {}};
    // Action pattern values stand for techniques 256-511.
    t.children.push_back(action_table(
        [m](int monster, int pattern, int slot) {
            return kTechHalf + (pattern ? m[monster].pattern2[slot] : m[monster].pattern1[slot]);
        },
        tech_name));
    return t;
}

Table main_encounter_table(const EncounterRow* rows) {
    auto row = [rows](const Row& r) -> const EncounterRow& { return rows[r.parent * kEncounterRows + r.index]; };
    Columns in_group = {
        number_column("monster", [row](const Row& r) { return row(r).monster; }),
        text_column("monster_name", [row](const Row& r) { return monster_name(row(r).monster); }),
        number_column("max_count", [row](const Row& r) { return row(r).max_count; }),
        number_column("size_1", [row](const Row& r) { return row(r).size1; }),
        number_column("size_2", [row](const Row& r) { return row(r).size2; }),
    };
    Table band{"rows", "main-encounter-rows", [](int) { return kEncounterRows; }, {}, {}, {}};
    band.columns = {index_column(), number_column("level", [](const Row& r) { return kLevelBand * r.index; })};
    // The rows after the end of a group hold no monster.
    append(band.columns, only_where([row](const Row& r) { return row(r).monster >= 0; }, std::move(in_group)));
    band.parent_keys = {{"index", "group"}, {"name", "group_name"}};

    Table groups{"main_encounters", "main-encounters", [](int) { return kEncounterGroups; }, {}, {}, {}};
    groups.columns = {index_column(), text_column("name", [](const Row& r) { return encounter_group_name(r.index); })};
    groups.children.push_back(std::move(band));
    return groups;
}

Table sub_encounter_table(const SubEncounter* entries) {
    auto entry = [entries](const Row& r) -> const SubEncounter& { return entries[r.parent * kSubEntries + r.index]; };
    Table list{"entries", "sub-encounter-entries", [](int) { return kSubEntries; }, {index_column()}, {}, {}};
    add_reference(list.columns, "monster", [entry](const Row& r) { return entry(r).monster; }, monster_name);
    list.columns.push_back(number_column("level", [entry](const Row& r) { return entry(r).level; }));
    list.parent_keys = {{"index", "type"}};

    Table types{"sub_encounters", "sub-encounters", [](int) { return kSubTypes; }, {index_column()}, {}, {}};
    types.children.push_back(std::move(list));
    return types;
}

// Character parameters and level-up values in record order.
const char* const kParams[kParamCount] = {
    "strength", "dexterity", "speed", "stamina", "magic_power", "willpower", "charm",
    "sword_level", "axe_level", "spear_level", "bow_level", "martial_arts_level",
    "blue_dragon_level", "vermilion_bird_level", "white_tiger_level", "black_tortoise_level", "sun_level",
    "moon_level", "unknown_value",
};
const char* const kLevelUps[kLevelUpCount] = {
    "hp_up", "wp_up", "jp_up", "sword_up", "axe_up", "spear_up", "bow_up", "martial_arts_up",
    "blue_dragon_up", "vermilion_bird_up", "white_tiger_up", "black_tortoise_up", "sun_up", "moon_up",
};
const char* const kCharacterFlags[kCharacterFlagCount] = {
    "male", "female", "undead", "unknown", "hp_flag", "sword_flag", "axe_flag", "spear_flag", "bow_flag",
    "martial_arts_flag", "earth_arts_flag", "heaven_arts_flag", "unknown_value_flag",
};

Table character_table(const CharacterRecord* ch) {
    Columns c = {index_column(), text_column("name", [](const Row& r) { return character_name(r.index); }),
                 number_of("hp", ch, &CharacterRecord::hp)};
    for (int p = 0; p < kParamCount; ++p) c.push_back(number_of(kParams[p], ch, &CharacterRecord::params, p));
    for (int u = 0; u < kLevelUpCount; ++u) c.push_back(number_of(kLevelUps[u], ch, &CharacterRecord::level_up, u));
    c.push_back(number_of("type", ch, &CharacterRecord::type));
    add_reference(c, "guardian_star", [ch](const Row& r) { return ch[r.index].guardian_star; }, guardian_star_name);
    add_reference(c, "weapon", [ch](const Row& r) { return ch[r.index].weapon; }, weapon_kind_name);
    add_reference(c, "arts", [ch](const Row& r) { return ch[r.index].arts; }, arts_name);
    c.push_back(number_of("spark_type", ch, &CharacterRecord::spark_type));
    for (int f = 0; f < kCharacterFlagCount; ++f) {
        c.push_back(flag_of(kCharacterFlags[f], ch, &CharacterRecord::flags, f));
    }
    return {"characters", "characters", [](int) { return kCharacterCount; }, std::move(c), {}, {}};
}

const char* const kItemKindNames[kItemKinds] = {"basic", "weapon", "shield", "armour", "other"};
const char* const kResistFlags[kResistFlagCount] = {"resist_water", "resist_throw", "resist_sound",
                                                    "resist_congeal", "resist_earth"};
const char* const kBonuses[kBonusCount] = {"strength", "dexterity", "speed", "vitality", "magic", "will", "charm"};

Table item_table(const ItemRecord* it) {
    auto kind_in = [it](int first, int last) {
        return [it, first, last](const Row& r) { return it[r.index].kind >= first && it[r.index].kind <= last; };
    };
    Columns c = {index_column(), text_column("name", [](const Row& r) { return item_name(r.index); }),
                 text_column("kind", [it](const Row& r) { return kItemKindNames[it[r.index].kind % kItemKinds]; }),
                 number_of("price", it, &ItemRecord::price)};
    append(c, only_where(kind_in(kItemWeapon, kItemArmour), {number_of("weight", it, &ItemRecord::weight)}));
    Columns weapon = {number_of("attack", it, &ItemRecord::attack)};
    add_reference(weapon, "tech_1", [it](const Row& r) { return it[r.index].techs[0]; }, tech_name, 255);
    add_reference(weapon, "tech_2", [it](const Row& r) { return it[r.index].techs[1]; }, tech_name, 255);
    append(c, only_where(kind_in(kItemWeapon, kItemWeapon), std::move(weapon)));
    append(c, only_where(kind_in(kItemShield, kItemShield),
                         {number_of("defence", it, &ItemRecord::defence),
                          number_of("evasion", it, &ItemRecord::evasion),
                          labels_column("defence_attributes", [it](const Row& r) { return it[r.index].attributes; },
                                        kGameBLabels.attributes)}));
    Columns armour = {number_of("physical_defence", it, &ItemRecord::physical_defence),
                      number_of("magic_defence", it, &ItemRecord::magic_defence)};
    for (int a = 0; a < kAttributeCount; ++a) {
        armour.push_back(number_of(std::string(kAttributes[a]) + "_level", it, &ItemRecord::levels, a));
    }
    for (int a = 0; a < kAttributeCount; ++a) {
        armour.push_back(number_column(std::string("defence_") + kAttributes[a],
                                       [it, a](const Row& r) { return armour_value(it[r.index], a); }));
    }
    armour.push_back(labels_column("status_resistances", [it](const Row& r) { return it[r.index].statuses; },
                                   kGameBLabels.statuses));
    for (int f = 0; f < kResistFlagCount; ++f) {
        armour.push_back(flag_of(kResistFlags[f], it, &ItemRecord::resist_flags, f));
    }
    for (int b = 0; b < kBonusCount; ++b) {
        armour.push_back(number_of(std::string(kBonuses[b]) + "_bonus", it, &ItemRecord::bonuses, b));
    }
    append(c, only_where(kind_in(kItemArmour, kItemArmour), std::move(armour)));
    return {"items", "items", [](int) { return kItemCount; }, std::move(c), {}, {}};
}

// Techniques 0-255 carry the learn flags, 256-511 the evade flag and the
// difficulty.
Table technique_table(const TechRecord* techs) {
    Columns c = {index_column(), text_column("name", [](const Row& r) { return tech_name(r.index); })};
    append(c, only_where([](const Row& r) { return r.index < kTechHalf; }, learn_flag_columns(techs)));
    append(c, only_where([](const Row& r) { return r.index >= kTechHalf; }, evade_columns(techs)));
    return {"techniques", "techniques", [](int) { return kTechCount; }, std::move(c), {}, {}};
}

std::vector<Table> load(RunBlocks& kept) {
    // The loaders in the analyzer's order.
    const MonsterRecord* monsters = kept.keep(load_monsters());
    const EncounterRow* encounters_main = kept.keep(load_encounters_main());
    const SubEncounter* encounters_sub = kept.keep(load_encounters_sub());
    const CharacterRecord* characters = kept.keep(load_characters());
    const ItemRecord* items = kept.keep(load_items());
    const TechRecord* techs = kept.keep(load_techs());
    const TechLearning* learning = kept.keep(load_tech_learning());
    const FormationEntry* formations = kept.keep(load_formations());
    // Every name table is read now, so that an image too short for one ends
    // the run before any file is written.
    for (NameLookup name : {monster_name, character_name, item_name, tech_name, formation_name}) name(0);

    std::vector<Table> tables;
    tables.push_back(monster_table(monsters, items));
    tables.push_back(main_encounter_table(encounters_main));
    tables.push_back(sub_encounter_table(encounters_sub));
    tables.push_back(character_table(characters));
    tables.push_back(item_table(items));
    tables.push_back(technique_table(techs));
    tables.push_back(learning_table(learning, tech_name));
    tables.push_back(formation_table(formations, kFormationCount, formation_name, false));
    return tables;
}

const ExporterInfo kInfo = {
    {"mt3export - MERIDIAN TALES3 data table exporter (JSON and CSV)", "%s: [option] src-filename [dst-pathname]\n",
     kExporterOptions, static_cast<int>(std::size(kExporterOptions))},
    "MERIDIAN TALES3      ",
    "B",
    "mt3",
    load,
};

}  // namespace

}  // namespace mt3

int main(int argc, char** argv) {
    utf8_arguments(&argc, &argv);
    return exporter_main(argc, argv, mt3::kInfo);
}
