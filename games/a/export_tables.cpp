// The tables of a game-A ROM image as mt2export writes them.
#include <iterator>
#include <memory>

#include "common/files.h"
#include "common/labels.h"
#include "common/records.h"
#include "export/exporter.h"
#include "export/shared_tables.h"
#include "games/a/fields.h"
#include "games/a/game.h"
#include "games/a/labels.h"
#include "games/a/run.h"

namespace exporter {

namespace {

using namespace mt2;

const char* race(int index) { return common::race_name(index, mt2::kLabels); }

const Target kRace{"", race, -1, 16};
Target technique_target(const common::NameTables& names) { return {"techniques", common::NameLookup(names, tech_name)}; }

// Every name table, read before any file is written; techniques 0-10 have
// fixed names.
constexpr FirstName kFirstNames[] = {
    {monster_name}, {character_name}, {item_name}, {formation_name}, {tech_name, kTechCount - 1}};

namespace k = mt2::fields;

// Female, undead, boss and flying flags, the race and its name.
template <typename Record>
void add_body(Columns& c, const Record* records) {
    c.push_back(flag_column(k::kBody[0], [records](const Row& r) { return records[r.index].body.female != 0; }));
    c.push_back(flag_column(k::kBody[1], [records](const Row& r) { return records[r.index].body.undead != 0; }));
    c.push_back(flag_column(k::kBody[2], [records](const Row& r) { return records[r.index].body.boss != 0; }));
    c.push_back(flag_column(k::kBody[3], [records](const Row& r) { return records[r.index].body.flying != 0; }));
    add_reference(c, k::kRace, [records](const Row& r) { return records[r.index].race; }, kRace);
}

Table monster_table(const common::NameTables& names, const MonsterRecord* m) {
    Columns c = {index_column(), name_column(common::NameLookup(names, monster_name))};
    c.push_back(number_of(k::kTechPoints, m, &MonsterRecord::tech_points));
    c.push_back(number_of(k::kHp, m, &MonsterRecord::hp));
    c.push_back(number_of(k::kLp, m, &MonsterRecord::lp));
    c.push_back(number_of(k::kWp, m, &MonsterRecord::wp));
    c.push_back(number_of(k::kJp, m, &MonsterRecord::jp));
    append(c, numbers_of(k::kAbilities, m, &MonsterRecord::abilities));
    c.push_back(number_of(k::kTechLevel, m, &MonsterRecord::tech_level));
    c.push_back(number_of(k::kSpellLevel, m, &MonsterRecord::spell_level));
    append(c, numbers_of(k::kDefences, m, &MonsterRecord::defences));
    c.push_back(number_of(k::kShieldDefence, m, &MonsterRecord::shield_defence));
    c.push_back(number_of(k::kEvasion, m, &MonsterRecord::evasion));
    c.push_back(labels_column(k::kShieldAttributes,
                              [m](const Row& r) { return m[r.index].shield_attributes; },
                              mt2::kLabels.attributes));
    c.push_back(labels_column(k::kStatusResistances,
                              [m](const Row& r) { return m[r.index].status_resistances; },
                              mt2::kLabels.statuses));
    add_body(c, m);
    const Target drop{"items", common::NameLookup(names, item_name), kNoDrop};
    const Target weapon{"items", common::NameLookup(names, item_name), kNoWeapon};
    add_reference(c, k::kDrops[0], [m](const Row& r) { return m[r.index].drops[0]; }, drop);
    add_reference(c, k::kDrops[1], [m](const Row& r) { return m[r.index].drops[1]; }, drop);
    add_reference(c, k::kWeapons[0], [m](const Row& r) { return m[r.index].weapons[0]; }, weapon);
    add_reference(c, k::kWeapons[1], [m](const Row& r) { return m[r.index].weapons[1]; }, weapon);
    append(c, flags_of(k::kTargets, m, &MonsterRecord::targets));
    c.push_back(number_of(k::kRateIndex, m, &MonsterRecord::rate_index));
    for (int p = 0; p < 2; ++p) {
        c.push_back(number_column(k::kPatternShares[p],
                                  [m, p](const Row& r) { return pattern_share(m[r.index].rate_index, p); }));
    }
    Table t{"monsters", "monsters", [](int) { return common::kMonsterCount; }, std::move(c), {}, {}};
    t.children.push_back(action_table(
        [m](int monster, int pattern, int slot) { return m[monster].patterns[pattern][slot]; }, technique_target(names)));
    return t;
}

Table character_table(const common::NameTables& names, const CharacterRecord* ch) {
    Columns c = {index_column(), name_column(common::NameLookup(names, character_name)), number_of(k::kLp, ch, &CharacterRecord::lp)};
    append(c, numbers_of(k::kAbilities, ch, &CharacterRecord::abilities));
    c.push_back(number_of(k::kWeaponAptitude, ch, &CharacterRecord::weapon_aptitude));
    c.push_back(number_of(k::kMagicAptitude, ch, &CharacterRecord::magic_aptitude));
    append(c, flags_of(k::kWeaponFlags, ch, &CharacterRecord::weapons));
    append(c, flags_of(k::kMagicFlags, ch, &CharacterRecord::magic));
    c.push_back(number_of(k::kSparkType, ch, &CharacterRecord::spark_type));
    add_body(c, ch);
    return {"characters", "characters", [](int) { return kCharacterCount; }, std::move(c), {}, {}};
}

Table special_table(const common::NameTables& names, const SpecialCharacterRecord* sp) {
    Columns c = {index_column(), name_column(common::NameLookup(names, special_character_name)),
                 number_of(k::kLp, sp, &SpecialCharacterRecord::lp),
                 number_of(k::kWp, sp, &SpecialCharacterRecord::wp),
                 number_of(k::kJp, sp, &SpecialCharacterRecord::jp)};
    append(c, numbers_of(k::kAbilities, sp, &SpecialCharacterRecord::abilities));
    append(c, numbers_of(k::kWeaponLevels, sp, &SpecialCharacterRecord::weapon_levels));
    append(c, numbers_of(k::kMagicLevels, sp, &SpecialCharacterRecord::magic_levels));
    c.push_back(number_of(k::kSparkType, sp, &SpecialCharacterRecord::spark_type));
    add_body(c, sp);
    return {"special_characters", "special-characters", [](int) { return kSpecialCharacterCount; }, std::move(c),
            {}, {}};
}

// A level table: its levels from 1, each with its technique points.
Table level_table(const char* key, const char* file, const int32_t* words, int count) {
    Columns c = {index_column(), number_column(k::kLevel, [](const Row& r) { return r.index + 1; }),
                 number_column(k::kTechPoints, [words](const Row& r) { return words[r.index]; })};
    return {key, file, [count](int) { return count; }, std::move(c), {}, {}};
}

const char* const kItemKindNames[kItemKinds] = {"weapon", "armour", "shield", "other"};

Table item_table(const common::NameTables& names, const ItemRecord* it) {
    auto kind_is = [it](std::initializer_list<int> kinds) {
        return [it, kinds = std::vector<int>(kinds)](const Row& r) {
            for (int k : kinds) {
                if (it[r.index].kind == k) return true;
            }
            return false;
        };
    };
    Columns c = {index_column(), name_column(common::NameLookup(names, item_name)), kind_column(it, kItemKindNames),
                 number_of(k::kPrice, it, &ItemRecord::price),
                 number_of(k::kDisplay, it, &ItemRecord::display)};
    append(c, only_where(kind_is({kItemWeapon, kItemArmour, kItemShield}),
                   {number_of(k::kWeight, it, &ItemRecord::weight)}));
    Columns weapon = {number_of(k::kAttack, it, &ItemRecord::attack)};
    add_inherent_techs(weapon, it, technique_target(names));
    append(c, only_where(kind_is({kItemWeapon}), std::move(weapon)));
    Columns armour = numbers_of(k::kDefences, it, &ItemRecord::defences);
    armour.push_back(labels_column(k::kStatusResistances,
                                   [it](const Row& r) { return it[r.index].statuses; },
                                   mt2::kLabels.statuses));
    append(armour, numbers_of(k::kBonuses, it, &ItemRecord::bonuses));
    append(c, only_where(kind_is({kItemArmour}), std::move(armour)));
    append(c, only_where(kind_is({kItemShield}),
                   {labels_column(k::kDefenceAttributes, [it](const Row& r) { return it[r.index].attributes; },
                                  mt2::kLabels.attributes),
                    number_of(k::kDefence, it, &ItemRecord::defence),
                    number_of(k::kEvasion, it, &ItemRecord::evasion)}));
    return {"items", "items", [](int) { return kItemCount; }, std::move(c), {}, {}};
}

std::vector<Table> tables(const Run* run, const common::NameTables& names) {
    const int32_t* levels = records_of(run, &Run::levels);
    return with_technique_tables<kFormations>(
        run, names, {tech_name, kTechCount},
        {monster_table(names, records_of(run, &Run::monsters)),
         character_table(names, records_of(run, &Run::characters)),
         special_table(names, records_of(run, &Run::specials)),
         level_table("skill_levels", "skill-levels", levels, kSkillLevels),
         level_table("overall_skill_levels", "overall-skill-levels", levels ? levels + kSkillLevels : nullptr,
                     kOverallSkillLevels),
         item_table(names, records_of(run, &Run::items))});
}

}  // namespace

}  // namespace exporter

namespace mt2 {

constinit const exporter::ExporterInfo kExporter =
    exporter::game_exporter<Run, exporter::tables, exporter::kFirstNames, fields::stored_fields>(
        "mt2export - MERIDIAN TALES2 data table exporter (JSON, CSV, SQL and a viewer page)",
        "%s: [option] src-pathname [dst-pathname]\n", kGame, kTableSpan);

}  // namespace mt2
