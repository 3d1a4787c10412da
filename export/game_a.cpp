// mt2export: every table of a game-A ROM image as UTF-8 JSON and CSV.
#include <iterator>

#include "analyzer_a/characters.h"
#include "analyzer_a/formations.h"
#include "analyzer_a/items.h"
#include "analyzer_a/monsters.h"
#include "analyzer_a/techniques.h"
#include "common/files.h"
#include "common/labels.h"
#include "export/exporter.h"
#include "export/shared_tables.h"

namespace mt2 {

namespace {

const char* race(int index) { return race_name(index, kGameALabels); }

Column index_column() {
    return number_column("index", [](const Row& r) { return r.index; });
}

// The six abilities in record order, and the eight attack kinds of the
// defences.
const char* const kAbilities[kAbilityCount] = {"strength", "dexterity", "magic_power", "unknown", "speed", "stamina"};
const char* const kDefences[8] = {"slash", "blunt", "thrust", "shot", "heat", "cold", "lightning", "status"};

// Female, undead, boss and flying flags, the race and its name.
template <typename Record>
void add_body(Columns& c, const Record* records) {
    c.push_back(flag_column("female", [records](const Row& r) { return records[r.index].body.female != 0; }));
    c.push_back(flag_column("undead", [records](const Row& r) { return records[r.index].body.undead != 0; }));
    c.push_back(flag_column("boss", [records](const Row& r) { return records[r.index].body.boss != 0; }));
    c.push_back(flag_column("flying", [records](const Row& r) { return records[r.index].body.flying != 0; }));
    add_reference(c, "race", [records](const Row& r) { return records[r.index].race; }, race);
}

template <typename Record>
void add_abilities(Columns& c, const Record* records) {
    for (int a = 0; a < kAbilityCount; ++a) c.push_back(number_of(kAbilities[a], records, &Record::abilities, a));
}

Table monster_table(const MonsterRecord* m) {
    Columns c = {index_column(), text_column("name", [](const Row& r) { return monster_name(r.index); })};
    c.push_back(number_of("tech_points", m, &MonsterRecord::tech_points));
    c.push_back(number_of("hp", m, &MonsterRecord::hp));
    c.push_back(number_of("lp", m, &MonsterRecord::lp));
    c.push_back(number_of("wp", m, &MonsterRecord::wp));
    c.push_back(number_of("jp", m, &MonsterRecord::jp));
    add_abilities(c, m);
    c.push_back(number_of("tech_level", m, &MonsterRecord::tech_level));
    c.push_back(number_of("spell_level", m, &MonsterRecord::spell_level));
    for (int d = 0; d < 8; ++d) {
        c.push_back(number_of(std::string("defence_") + kDefences[d], m, &MonsterRecord::defences, d));
    }
    c.push_back(number_of("shield_defence", m, &MonsterRecord::shield_defence));
    c.push_back(number_of("evasion", m, &MonsterRecord::evasion));
    c.push_back(labels_column("shield_attributes", [m](const Row& r) { return m[r.index].shield_attributes; },
                              kGameALabels.attributes));
    c.push_back(labels_column("status_resistances", [m](const Row& r) { return m[r.index].status_resistances; },
                              kGameALabels.statuses));
    add_body(c, m);
    add_reference(c, "drop_high", [m](const Row& r) { return m[r.index].drops[0]; }, item_name, kNoDrop);
    add_reference(c, "drop_low", [m](const Row& r) { return m[r.index].drops[1]; }, item_name, kNoDrop);
    add_reference(c, "weapon_1", [m](const Row& r) { return m[r.index].weapons[0]; }, item_name, kNoWeapon);
    add_reference(c, "weapon_2", [m](const Row& r) { return m[r.index].weapons[1]; }, item_name, kNoWeapon);
    c.push_back(flag_of("targets_emperor", m, &MonsterRecord::targets, 0));
    c.push_back(flag_of("targets_low_hp", m, &MonsterRecord::targets, 1));
    c.push_back(flag_of("targets_high_hp", m, &MonsterRecord::targets, 2));
    c.push_back(number_of("pattern_rate_index", m, &MonsterRecord::rate_index));
    for (int p = 0; p < 2; ++p) {
        c.push_back(number_column("pattern_" + std::to_string(p + 1) + "_share",
                                  [m, p](const Row& r) { return pattern_share(m[r.index].rate_index, p); }));
    }
    Table t{"monsters", "monsters", [](int) { return kMonsterCount; }, std::move(c), {}, {}};
    t.children.push_back(action_table(
        [m](int monster, int pattern, int slot) { return m[monster].patterns[pattern][slot]; }, tech_name));
    return t;
}

// Weapon kinds and magic schools in record order.
const char* const kWeaponKinds[5] = {"sword", "axe", "spear", "bow", "martial_arts"};
const char* const kMagicSchools[6] = {"fire", "water", "earth", "wind", "heaven", "underworld"};

Table character_table(const CharacterRecord* ch) {
    Columns c = {index_column(), text_column("name", [](const Row& r) { return character_name(r.index); }),
                 number_of("lp", ch, &CharacterRecord::lp)};
    add_abilities(c, ch);
    c.push_back(number_of("weapon_aptitude", ch, &CharacterRecord::weapon_aptitude));
    c.push_back(number_of("magic_aptitude", ch, &CharacterRecord::magic_aptitude));
    for (int w = 0; w < 5; ++w) {
        c.push_back(flag_of(std::string("weapon_") + kWeaponKinds[w], ch, &CharacterRecord::weapons, w));
    }
    for (int s = 0; s < 6; ++s) {
        c.push_back(flag_of(std::string("magic_") + kMagicSchools[s], ch, &CharacterRecord::magic, s));
    }
    c.push_back(number_of("spark_type", ch, &CharacterRecord::spark_type));
    add_body(c, ch);
    return {"characters", "characters", [](int) { return kCharacterCount; }, std::move(c), {}, {}};
}

Table special_table(const SpecialCharacterRecord* sp) {
    Columns c = {index_column(), text_column("name", [](const Row& r) { return special_character_name(r.index); }),
                 number_of("lp", sp, &SpecialCharacterRecord::lp), number_of("wp", sp, &SpecialCharacterRecord::wp),
                 number_of("jp", sp, &SpecialCharacterRecord::jp)};
    add_abilities(c, sp);
    for (int w = 0; w < 5; ++w) {
        c.push_back(number_of(std::string(kWeaponKinds[w]) + "_level", sp, &SpecialCharacterRecord::weapon_levels, w));
    }
    for (int s = 0; s < 6; ++s) {
        c.push_back(number_of(std::string(kMagicSchools[s]) + "_level", sp, &SpecialCharacterRecord::magic_levels, s));
    }
    c.push_back(number_of("spark_type", sp, &SpecialCharacterRecord::spark_type));
    add_body(c, sp);
    return {"special_characters", "special-characters", [](int) { return kSpecialCharacterCount; }, std::move(c),
            {}, {}};
}

// A level table: its levels from 1, each with its technique points.
Table level_table(const char* key, const char* file, const int32_t* words, int count) {
    Columns c = {index_column(), number_column("level", [](const Row& r) { return r.index + 1; }),
                 number_column("tech_points", [words](const Row& r) { return words[r.index]; })};
    return {key, file, [count](int) { return count; }, std::move(c), {}, {}};
}

const char* const kItemKindNames[kItemKinds] = {"weapon", "armour", "shield", "other"};
const char* const kBonuses[6] = {"strength", "dexterity", "magic", "unknown", "speed", "vitality"};

Table item_table(const ItemRecord* it) {
    auto kind_is = [it](std::initializer_list<int> kinds) {
        return [it, kinds = std::vector<int>(kinds)](const Row& r) {
            for (int k : kinds) {
                if (it[r.index].kind == k) return true;
            }
            return false;
        };
    };
    Columns c = {index_column(), text_column("name", [](const Row& r) { return item_name(r.index); }),
                 text_column("kind", [it](const Row& r) { return kItemKindNames[it[r.index].kind % kItemKinds]; }),
                 number_of("price", it, &ItemRecord::price), number_of("display", it, &ItemRecord::display)};
    auto add = [&c](Columns more) { c.insert(c.end(), more.begin(), more.end()); };
    add(only_where(kind_is({kItemWeapon, kItemArmour, kItemShield}), {number_of("weight", it, &ItemRecord::weight)}));
    Columns weapon = {number_of("attack", it, &ItemRecord::attack)};
    add_reference(weapon, "tech_1", [it](const Row& r) { return it[r.index].techs[0]; }, tech_name, 255);
    add_reference(weapon, "tech_2", [it](const Row& r) { return it[r.index].techs[1]; }, tech_name, 255);
    add(only_where(kind_is({kItemWeapon}), std::move(weapon)));
    Columns armour;
    for (int d = 0; d < 8; ++d) {
        armour.push_back(number_of(std::string("defence_") + kDefences[d], it, &ItemRecord::defences, d));
    }
    armour.push_back(labels_column("status_resistances", [it](const Row& r) { return it[r.index].statuses; },
                                   kGameALabels.statuses));
    for (int b = 0; b < 6; ++b) {
        armour.push_back(number_of(std::string(kBonuses[b]) + "_bonus", it, &ItemRecord::bonuses, b));
    }
    add(only_where(kind_is({kItemArmour}), std::move(armour)));
    add(only_where(kind_is({kItemShield}),
                   {labels_column("defence_attributes", [it](const Row& r) { return it[r.index].attributes; },
                                  kGameALabels.attributes),
                    number_of("defence", it, &ItemRecord::defence), number_of("evasion", it, &ItemRecord::evasion)}));
    return {"items", "items", [](int) { return kItemCount; }, std::move(c), {}, {}};
}

Table technique_table(const TechRecord* techs) {
    Columns c = {index_column(), text_column("name", [](const Row& r) { return tech_name(r.index); })};
    for (Columns more : {learn_flag_columns(techs), evade_columns(techs)}) c.insert(c.end(), more.begin(), more.end());
    return {"techniques", "techniques", [](int) { return kTechCount; }, std::move(c), {}, {}};
}

std::vector<Table> load(RunBlocks& kept) {
    // The loaders in the analyzer's order.
    const MonsterRecord* monsters = kept.keep(load_monsters());
    const CharacterRecord* characters = kept.keep(load_characters());
    const SpecialCharacterRecord* specials = kept.keep(load_special_characters());
    const int32_t* levels = kept.keep(load_level_tables());
    const ItemRecord* items = kept.keep(load_items());
    const TechRecord* techs = kept.keep(load_techs());
    const TechLearning* learning = kept.keep(load_tech_learning());
    const FormationEntry* formations = kept.keep(load_formations());
    // Every name table is read now, so that an image too short for one ends
    // the run before any file is written.
    for (NameLookup name : {monster_name, character_name, item_name, formation_name}) name(0);
    tech_name(kTechCount - 1);  // techniques 0-10 have fixed names

    std::vector<Table> tables;
    tables.push_back(monster_table(monsters));
    tables.push_back(character_table(characters));
    tables.push_back(special_table(specials));
    tables.push_back(level_table("skill_levels", "skill-levels", levels, kSkillLevels));
    tables.push_back(level_table("overall_skill_levels", "overall-skill-levels", levels + kSkillLevels,
                                 kOverallSkillLevels));
    tables.push_back(item_table(items));
    tables.push_back(technique_table(techs));
    tables.push_back(learning_table(learning, tech_name));
    tables.push_back(formation_table(formations, kFormationCount, formation_name, true));
    return tables;
}

const ExporterInfo kInfo = {
    {"mt2export - MERIDIAN TALES2 data table exporter (JSON and CSV)", "%s: [option] src-pathname [dst-pathname]\n",
     kExporterOptions, static_cast<int>(std::size(kExporterOptions))},
    "MERIDIAN TALES2      ",
    "A",
    "mt2",
    load,
};

}  // namespace

}  // namespace mt2

int main(int argc, char** argv) {
    utf8_arguments(&argc, &argv);
    return exporter_main(argc, argv, mt2::kInfo);
}
