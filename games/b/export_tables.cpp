// The tables of a game-B ROM image as mt3export writes them.
#include <iterator>
#include <memory>

#include "common/files.h"
#include "common/labels.h"
#include "common/monsters.h"
#include "common/records.h"
#include "export/exporter.h"
#include "export/shared_tables.h"
#include "games/b/fields.h"
#include "games/b/game.h"
#include "games/b/labels.h"
#include "games/b/run.h"

namespace exporter {

namespace {

using namespace mt3;

const char* race(int index) { return common::race_name(index, mt3::kLabels); }

Target technique_target(const common::NameTables& names) { return {"techniques", common::NameLookup(names, tech_name)}; }
Target item_target(const common::NameTables& names) { return {"items", common::NameLookup(names, item_name), kEmptySlot}; }
Target monster_target(const common::NameTables& names) { return {"monsters", common::NameLookup(names, monster_name)}; }

// Every name table, read before any file is written.
constexpr FirstName kFirstNames[] = {{monster_name}, {character_name}, {item_name}, {tech_name}, {formation_name}};

namespace k = mt3::fields;

// What a monster's equipment gives it, as the parameter and resistance
// reports show it.
Columns equipment_columns(const MonsterRecord* m, const ItemRecord* items) {
    auto values = [m, items](const Row& r) { return equipment_values(m[r.index], items); };
    Columns c;
    for (int a = 0; a < kAttributeCount; ++a) {
        c.push_back(number_column(k::kDefences[a], [values, a](const Row& r) { return values(r).defences[a]; }));
    }
    c.push_back(number_column(k::kShieldDefence, [values](const Row& r) { return values(r).shield_defence; }));
    c.push_back(number_column(k::kEvasion, [values](const Row& r) { return values(r).evasion; }));
    c.push_back(labels_column(k::kShieldAttributes, [values](const Row& r) { return values(r).attributes; },
                              mt3::kLabels.attributes));
    c.push_back(labels_column(k::kStatusResistances, [values](const Row& r) { return values(r).statuses; },
                              mt3::kLabels.statuses));
    return c;
}

Table monster_table(const common::NameTables& names, const MonsterRecord* m, const ItemRecord* items) {
    Columns c = {index_column(), name_column(common::NameLookup(names, monster_name)), number_of(k::kHp, m, &MonsterRecord::hp)};
    append(c, numbers_of(k::kStats, m, &MonsterRecord::stats));  // the seven attributes, then the four levels
    append(c, equipment_columns(m, items));
    append(c, flags_of(k::kMonsterFlags, m, &MonsterRecord::flags));  // the four body flags, the five resistances
    add_reference(c, k::kRace, [m](const Row& r) { return m[r.index].race; }, {"", race, -1, 16});
    add_reference(c, k::kRecovery, [m](const Row& r) { return m[r.index].recovery; }, {"", mt3::type_name, -1, 8});
    append(c, flags_of(k::kUnarmed, m, &MonsterRecord::no_blade));
    for (int s = 0; s < kSlotCount; ++s) {
        add_reference(c, k::kSlots[s], [m, s](const Row& r) { return m[r.index].slots[s]; }, item_target(names));
    }
    c.push_back(number_of(k::kMoney, m, &MonsterRecord::money));
    for (int d = 0; d < kDropCount; ++d) {
        add_reference(c, k::kDrops[d], [m, d](const Row& r) { return m[r.index].drops[d]; }, item_target(names));
    }
    append(c, numbers_of(k::kSizes, m, &MonsterRecord::sizes));
    Table t{"monsters", "monsters", [](int) { return common::kMonsterCount; }, std::move(c), {}, {}};
    // Action pattern values stand for techniques 256-511.
    t.children.push_back(action_table(
        [m](int monster, int pattern, int slot) {
            return kTechHalf + (pattern ? m[monster].pattern2[slot] : m[monster].pattern1[slot]);
        },
        technique_target(names)));
    return t;
}

Table main_encounter_table(const common::NameTables& names, const EncounterRow* rows) {
    auto row = [rows](const Row& r) -> const EncounterRow& { return rows[r.parent * kEncounterRows + r.index]; };
    Columns in_group;
    add_reference(in_group, k::kMonster, [row](const Row& r) { return row(r).monster; }, monster_target(names));
    append(in_group, {
        number_column(k::kMaxCount, [row](const Row& r) { return row(r).max_count; }),
        number_column(k::kMaxSizes[0], [row](const Row& r) { return row(r).size1; }),
        number_column(k::kMaxSizes[1], [row](const Row& r) { return row(r).size2; }),
    });
    Table band{"rows", "main-encounter-rows", [](int) { return kEncounterRows; }, {}, {}, {}};
    band.columns = {index_column(), number_column(k::kLevel, [](const Row& r) { return kLevelBand * r.index; })};
    // The rows after the end of a group hold no monster.
    append(band.columns, only_where([row](const Row& r) { return row(r).monster >= 0; }, std::move(in_group)));
    band.parent_keys = {{"index", common::shared_keys::kGroup.key}, {"name", k::kGroupName.key}};

    Table groups{"main_encounters", "main-encounters", [](int) { return kEncounterGroups; }, {}, {}, {}};
    groups.columns = {index_column(), name_column(encounter_group_name)};
    groups.children.push_back(std::move(band));
    return groups;
}

Table sub_encounter_table(const common::NameTables& names, const SubEncounter* entries) {
    auto entry = [entries](const Row& r) -> const SubEncounter& { return entries[r.parent * kSubEntries + r.index]; };
    Table list{"entries", "sub-encounter-entries", [](int) { return kSubEntries; }, {index_column()}, {}, {}};
    add_reference(list.columns, k::kMonster, [entry](const Row& r) { return entry(r).monster; }, monster_target(names));
    list.columns.push_back(number_column(k::kLevel, [entry](const Row& r) { return entry(r).level; }));
    list.parent_keys = {{"index", k::kSubType.key}};

    Table types{"sub_encounters", "sub-encounters", [](int) { return kSubTypes; }, {index_column()}, {}, {}};
    types.children.push_back(std::move(list));
    return types;
}

// Parameters: the seven attributes, the skill levels, 不明.
const common::Key& param_name(int p) { return p < 7 ? k::kStats[p] : p < 18 ? k::kSkillLevels[p - 7] : k::kUnknown; }
Table character_table(const common::NameTables& names, const CharacterRecord* ch) {
    Columns c = {index_column(), name_column(common::NameLookup(names, character_name)), number_of(k::kHp, ch, &CharacterRecord::hp)};
    for (int p = 0; p < kParamCount; ++p) c.push_back(number_of(param_name(p), ch, &CharacterRecord::params, p));
    append(c, numbers_of(k::kLevelUps, ch, &CharacterRecord::level_up));
    c.push_back(number_of(k::kType, ch, &CharacterRecord::type));
    add_reference(c, k::kGuardianStar, [ch](const Row& r) { return ch[r.index].guardian_star; },
                  {"", guardian_star_name, -1, kGuardianStarCount});
    add_reference(c, k::kWeapon, [ch](const Row& r) { return ch[r.index].weapon; },
                  {"", weapon_kind_name, -1, kWeaponKindCount});
    add_reference(c, k::kArts, [ch](const Row& r) { return ch[r.index].arts; }, {"", arts_name, -1, kArtsCount});
    c.push_back(number_of(k::kSparkType, ch, &CharacterRecord::spark_type));
    append(c, flags_of(k::kCharacterFlags, ch, &CharacterRecord::flags));
    return {"characters", "characters", [](int) { return kCharacterCount; }, std::move(c), {}, {}};
}

const char* const kItemKindNames[kItemKinds] = {"basic", "weapon", "shield", "armour", "other"};

Table item_table(const common::NameTables& names, const ItemRecord* it) {
    auto kind_in = [it](int first, int last) {
        return [it, first, last](const Row& r) { return it[r.index].kind >= first && it[r.index].kind <= last; };
    };
    Columns c = {index_column(), name_column(common::NameLookup(names, item_name)), kind_column(it, kItemKindNames),
                 number_of(k::kPrice, it, &ItemRecord::price)};
    append(c, only_where(kind_in(kItemWeapon, kItemArmour), {number_of(k::kWeight, it, &ItemRecord::weight)}));
    Columns weapon = {number_of(k::kAttack, it, &ItemRecord::attack)};
    add_inherent_techs(weapon, it, technique_target(names));
    append(c, only_where(kind_in(kItemWeapon, kItemWeapon), std::move(weapon)));
    append(c, only_where(kind_in(kItemShield, kItemShield),
                         {number_of(k::kDefence, it, &ItemRecord::defence),
                          number_of(k::kEvasion, it, &ItemRecord::evasion),
                          labels_column(k::kDefenceAttributes,
                                        [it](const Row& r) { return it[r.index].attributes; },
                                        mt3::kLabels.attributes)}));
    Columns armour = {number_of(k::kPhysicalDefence, it, &ItemRecord::physical_defence),
                      number_of(k::kMagicDefence, it, &ItemRecord::magic_defence)};
    append(armour, numbers_of(k::kDefenceLevels, it, &ItemRecord::levels));
    for (int a = 0; a < kAttributeCount; ++a) {
        armour.push_back(number_column(k::kDefences[a], [it, a](const Row& r) { return armour_value(it[r.index], a); }));
    }
    armour.push_back(labels_column(k::kStatusResistances,
                                   [it](const Row& r) { return it[r.index].statuses; },
                                   mt3::kLabels.statuses));
    for (int f = 0; f < kResistFlagCount; ++f) {
        armour.push_back(flag_of(k::kResistFlags[f], it, &ItemRecord::resist_flags, f));
    }
    append(armour, numbers_of(k::kBonuses, it, &ItemRecord::bonuses));
    append(c, only_where(kind_in(kItemArmour, kItemArmour), std::move(armour)));
    return {"items", "items", [](int) { return kItemCount; }, std::move(c), {}, {}};
}

std::vector<Table> tables(const Run* run, const common::NameTables& names) {
    const ItemRecord* items = records_of(run, &Run::items);
    // Techniques 0-255 carry the learn flags, 256-511 the evade flag and the
    // difficulty.
    const auto low_half = [](const Row& r) { return r.index < kTechHalf; };
    const auto high_half = [](const Row& r) { return r.index >= kTechHalf; };
    return with_technique_tables<kFormations>(
        run, names, {tech_name, kTechCount, low_half, high_half},
        {monster_table(names, records_of(run, &Run::monsters), items),
         main_encounter_table(names, records_of(run, &Run::encounters_main)),
         sub_encounter_table(names, records_of(run, &Run::encounters_sub)),
         character_table(names, records_of(run, &Run::characters)),
         item_table(names, items)});
}

}  // namespace

}  // namespace exporter

namespace mt3 {

constinit const exporter::ExporterInfo kExporter =
    exporter::game_exporter<Run, exporter::tables, exporter::kFirstNames, fields::stored_fields>(
        "mt3export - MERIDIAN TALES3 data table exporter (JSON, CSV, SQL and a viewer page)",
        "%s: [option] src-filename [dst-pathname]\n", kGame, kTableSpan);

}  // namespace mt3
