// The tables of a game-B ROM image as mt3export writes them.
#include <iterator>
#include <memory>

#include "analyzer_b/run.h"
#include "common/files.h"
#include "common/labels.h"
#include "common/monsters.h"
#include "export/exporter.h"
#include "export/games.h"
#include "common/records.h"
#include "export/shared_tables.h"

namespace {

using namespace mt3;

const char* race(int index) { return race_name(index, kGameBLabels); }

Target technique_target(const NameTables& names) { return {"techniques", NameLookup(names, tech_name)}; }
Target item_target(const NameTables& names) { return {"items", NameLookup(names, item_name), kEmptySlot}; }
Target monster_target(const NameTables& names) { return {"monsters", NameLookup(names, monster_name)}; }

Name with_suffix(const Name& name, const char* suffix) { return {name.key + suffix, name.label}; }

// The defences against the eight attack kinds (and their attribute levels).
const Name kDefences[kAttributeCount] = {{"defence_slash", "防斬"}, {"defence_blow", "防打"},   {"defence_thrust", "防突"},
                                         {"defence_shot", "防射"},  {"defence_heat", "防熱"},   {"defence_cold", "防冷"},
                                         {"defence_thunder", "防雷"}, {"defence_status", "防状"}};

// The seven attributes in record order (monster statistics, characters'
// parameters, armour bonuses).
const Name kAttributeNames[7] = {{"strength", "腕力"},    {"dexterity", "器用"}, {"speed", "素早"},
                                 {"stamina", "体力"},     {"magic_power", "魔力"}, {"willpower", "意志"},
                                 {"charm", "魅力"}};
const Name kLevels[kStatCount - 7] = {
    {"tech_level", "技LV"}, {"spell_level", "術LV"}, {"upper_level", "上LV"}, {"spark_level", "閃LV"}};
const Name kBodyFlags[4] = {{"male", "男性"}, {"female", "女性"}, {"undead", "不死"}, {"unknown_flag", "不明"}};
const Name kResistFlags[kResistFlagCount] = {
    {"resist_water", "耐水"}, {"resist_throw", "耐投"}, {"resist_sound", "耐音"}, {"resist_congeal", "耐凝"},
    {"resist_earth", "耐地"}};
const Name kSlots[kSlotCount] = {
    {"weapon_1", "武器1"}, {"weapon_2", "武器2"}, {"shield", "盾"}, {"armour_1", "防具1"}, {"armour_2", "防具2"}};
const Name kDrops[kDropCount] = {
    {"drop_100", "100%"}, {"drop_high", "高確率"}, {"drop_middle", "中確率"}, {"drop_low", "低確率"}};

// The monster statistics: the seven attributes, then the four levels.
const Name& stat_name(int s) { return s < 7 ? kAttributeNames[s] : kLevels[s - 7]; }
// The monster flags: the four body flags, then the five resistances.
const Name& monster_flag_name(int f) { return f < 4 ? kBodyFlags[f] : kResistFlags[f - 4]; }

// What a monster's equipment gives it, as the parameter and resistance
// reports show it.
Columns equipment_columns(const MonsterRecord* m, const ItemRecord* items) {
    auto values = [m, items](const Row& r) { return equipment_values(m[r.index], items); };
    Columns c;
    for (int a = 0; a < kAttributeCount; ++a) {
        c.push_back(number_column(kDefences[a], [values, a](const Row& r) { return values(r).defences[a]; }));
    }
    c.push_back(number_column({"shield_defence", "盾防"}, [values](const Row& r) { return values(r).shield_defence; }));
    c.push_back(number_column({"evasion", "回避"}, [values](const Row& r) { return values(r).evasion; }));
    c.push_back(labels_column({"shield_attributes", "盾の防御属性"}, [values](const Row& r) { return values(r).attributes; },
                              kGameBLabels.attributes));
    c.push_back(labels_column({"status_resistances", "状態変化耐性"}, [values](const Row& r) { return values(r).statuses; },
                              kGameBLabels.statuses));
    return c;
}

Table monster_table(const NameTables& names, const MonsterRecord* m, const ItemRecord* items) {
    Columns c = {index_column(), name_column(NameLookup(names, monster_name)), number_of({"hp", "HP"}, m, &MonsterRecord::hp)};
    for (int s = 0; s < kStatCount; ++s) c.push_back(number_of(stat_name(s), m, &MonsterRecord::stats, s));
    append(c, equipment_columns(m, items));
    for (int f = 0; f < kMonsterFlagCount; ++f) {
        c.push_back(flag_of(monster_flag_name(f), m, &MonsterRecord::flags, f));
    }
    add_reference(c, {"race", "種族"}, [m](const Row& r) { return m[r.index].race; }, {"", race, -1, 16});
    add_reference(c, {"recovery", "回復"}, [m](const Row& r) { return m[r.index].recovery; }, {"", type_name8, -1, 8});
    c.push_back(flag_of({"unarmed_1", "無刀1"}, m, &MonsterRecord::no_blade, 0));
    c.push_back(flag_of({"unarmed_2", "無刀2"}, m, &MonsterRecord::no_blade, 1));
    for (int s = 0; s < kSlotCount; ++s) {
        add_reference(c, kSlots[s], [m, s](const Row& r) { return m[r.index].slots[s]; }, item_target(names));
    }
    c.push_back(number_of({"money", "お金"}, m, &MonsterRecord::money));
    for (int d = 0; d < kDropCount; ++d) {
        add_reference(c, kDrops[d], [m, d](const Row& r) { return m[r.index].drops[d]; }, item_target(names));
    }
    c.push_back(number_of({"size_1", "サイズ"}, m, &MonsterRecord::sizes, 0));
    c.push_back(number_of({"size_2", "サイズ"}, m, &MonsterRecord::sizes, 1));
    Table t{"monsters", "monsters", [](int) { return kMonsterCount; }, std::move(c), {}, {}};
    // Action pattern values stand for techniques 256-511.
    t.children.push_back(action_table(
        [m](int monster, int pattern, int slot) {
            return kTechHalf + (pattern ? m[monster].pattern2[slot] : m[monster].pattern1[slot]);
        },
        technique_target(names)));
    return t;
}

Table main_encounter_table(const NameTables& names, const EncounterRow* rows) {
    auto row = [rows](const Row& r) -> const EncounterRow& { return rows[r.parent * kEncounterRows + r.index]; };
    Columns in_group;
    add_reference(in_group, {"monster", "モンスター"}, [row](const Row& r) { return row(r).monster; }, monster_target(names));
    append(in_group, {
        number_column({"max_count", "最大数"}, [row](const Row& r) { return row(r).max_count; }),
        number_column({"max_size_1", "最大サイズ"}, [row](const Row& r) { return row(r).size1; }),
        number_column({"max_size_2", "最大サイズ"}, [row](const Row& r) { return row(r).size2; }),
    });
    Table band{"rows", "main-encounter-rows", [](int) { return kEncounterRows; }, {}, {}, {}};
    band.columns = {index_column(), number_column({"level", "Lv."}, [](const Row& r) { return kLevelBand * r.index; })};
    // The rows after the end of a group hold no monster.
    append(band.columns, only_where([row](const Row& r) { return row(r).monster >= 0; }, std::move(in_group)));
    band.parent_keys = {{"index", "group"}, {"name", "group_name"}};

    Table groups{"main_encounters", "main-encounters", [](int) { return kEncounterGroups; }, {}, {}, {}};
    groups.columns = {index_column(), name_column(encounter_group_name)};
    groups.children.push_back(std::move(band));
    return groups;
}

Table sub_encounter_table(const NameTables& names, const SubEncounter* entries) {
    auto entry = [entries](const Row& r) -> const SubEncounter& { return entries[r.parent * kSubEntries + r.index]; };
    Table list{"entries", "sub-encounter-entries", [](int) { return kSubEntries; }, {index_column()}, {}, {}};
    add_reference(list.columns, {"monster", "モンスター"}, [entry](const Row& r) { return entry(r).monster; }, monster_target(names));
    list.columns.push_back(number_column({"level", "Lv."}, [entry](const Row& r) { return entry(r).level; }));
    list.parent_keys = {{"index", "type"}};

    Table types{"sub_encounters", "sub-encounters", [](int) { return kSubTypes; }, {index_column()}, {}, {}};
    types.children.push_back(std::move(list));
    return types;
}

// The weapon kinds and the schools of arts, in record order.
const Name kSkills[11] = {{"sword", "剣"},         {"axe", "斧"},           {"spear", "槍"},
                          {"bow", "弓"},           {"martial_arts", "体術"}, {"blue_dragon", "蒼龍"},
                          {"vermilion_bird", "朱鳥"}, {"white_tiger", "白虎"},  {"black_tortoise", "玄武"},
                          {"sun", "太陽"},         {"moon", "月"}};
const Name kPoints[3] = {{"hp", "HP"}, {"wp", "WP"}, {"jp", "JP"}};

// Parameters: the seven attributes, the skill levels, 不明.
Name param_name(int p) {
    if (p < 7) return kAttributeNames[p];
    return p < 18 ? with_suffix(kSkills[p - 7], "_level") : Name{"unknown", "不明"};
}
// Level-up values: HP, WP, JP, then each skill.
Name level_up_name(int u) { return with_suffix(u < 3 ? kPoints[u] : kSkills[u - 3], "_up"); }
// Flags: the four body flags, then HP, the five weapon kinds, 地術, 天術 and a
// second 不明.
Name character_flag_name(int f) {
    if (f < 4) return kBodyFlags[f];
    if (f == 4) return with_suffix(kPoints[0], "_flag");
    if (f < 10) return with_suffix(kSkills[f - 5], "_flag");
    const Name last[3] = {{"earth_arts_flag", "地術"}, {"heaven_arts_flag", "天術"}, {"unknown_flag_2", "不明"}};
    return last[f - 10];
}

Table character_table(const NameTables& names, const CharacterRecord* ch) {
    Columns c = {index_column(), name_column(NameLookup(names, character_name)), number_of({"hp", "HP"}, ch, &CharacterRecord::hp)};
    for (int p = 0; p < kParamCount; ++p) c.push_back(number_of(param_name(p), ch, &CharacterRecord::params, p));
    for (int u = 0; u < kLevelUpCount; ++u) {
        c.push_back(number_of(level_up_name(u), ch, &CharacterRecord::level_up, u));
    }
    c.push_back(number_of({"type", "TYPE"}, ch, &CharacterRecord::type));
    add_reference(c, {"guardian_star", "宿星"}, [ch](const Row& r) { return ch[r.index].guardian_star; },
                  {"", guardian_star_name, -1, kGuardianStarCount});
    add_reference(c, {"weapon", "武器"}, [ch](const Row& r) { return ch[r.index].weapon; },
                  {"", weapon_kind_name, -1, kWeaponKindCount});
    add_reference(c, {"arts", "術"}, [ch](const Row& r) { return ch[r.index].arts; }, {"", arts_name, -1, kArtsCount});
    c.push_back(number_of({"spark_type", "閃TYPE"}, ch, &CharacterRecord::spark_type));
    for (int f = 0; f < kCharacterFlagCount; ++f) {
        c.push_back(flag_of(character_flag_name(f), ch, &CharacterRecord::flags, f));
    }
    return {"characters", "characters", [](int) { return kCharacterCount; }, std::move(c), {}, {}};
}

const char* const kItemKindNames[kItemKinds] = {"basic", "weapon", "shield", "armour", "other"};

Table item_table(const NameTables& names, const ItemRecord* it) {
    auto kind_in = [it](int first, int last) {
        return [it, first, last](const Row& r) { return it[r.index].kind >= first && it[r.index].kind <= last; };
    };
    Columns c = {index_column(), name_column(NameLookup(names, item_name)), kind_column(it, kItemKindNames),
                 number_of({"price", "価格"}, it, &ItemRecord::price)};
    append(c, only_where(kind_in(kItemWeapon, kItemArmour), {number_of({"weight", "重量"}, it, &ItemRecord::weight)}));
    Columns weapon = {number_of({"attack", "攻撃"}, it, &ItemRecord::attack)};
    add_inherent_techs(weapon, it, technique_target(names));
    append(c, only_where(kind_in(kItemWeapon, kItemWeapon), std::move(weapon)));
    append(c, only_where(kind_in(kItemShield, kItemShield),
                         {number_of({"defence", "防御"}, it, &ItemRecord::defence),
                          number_of({"evasion", "回避"}, it, &ItemRecord::evasion),
                          labels_column({"defence_attributes", "防御属性"},
                                        [it](const Row& r) { return it[r.index].attributes; },
                                        kGameBLabels.attributes)}));
    Columns armour = {number_of({"physical_defence", "物防"}, it, &ItemRecord::physical_defence),
                      number_of({"magic_defence", "魔防"}, it, &ItemRecord::magic_defence)};
    for (int a = 0; a < kAttributeCount; ++a) {
        armour.push_back(number_of(with_suffix(kDefences[a], "_level"), it, &ItemRecord::levels, a));
    }
    for (int a = 0; a < kAttributeCount; ++a) {
        armour.push_back(number_column(kDefences[a], [it, a](const Row& r) { return armour_value(it[r.index], a); }));
    }
    armour.push_back(labels_column({"status_resistances", "状態変化耐性"},
                                   [it](const Row& r) { return it[r.index].statuses; },
                                   kGameBLabels.statuses));
    for (int f = 0; f < kResistFlagCount; ++f) {
        armour.push_back(flag_of(kResistFlags[f], it, &ItemRecord::resist_flags, f));
    }
    for (int b = 0; b < kBonusCount; ++b) {
        armour.push_back(number_of(with_suffix(kAttributeNames[b], "_bonus"), it, &ItemRecord::bonuses, b));
    }
    append(c, only_where(kind_in(kItemArmour, kItemArmour), std::move(armour)));
    return {"items", "items", [](int) { return kItemCount; }, std::move(c), {}, {}};
}

// Techniques 0-255 carry the learn flags, 256-511 the evade flag and the
// difficulty.
Table technique_table(const NameTables& names, const TechRecord* techs) {
    Columns c = {index_column(), name_column(NameLookup(names, tech_name))};
    append(c, only_where([](const Row& r) { return r.index < kTechHalf; }, learn_flag_columns(techs)));
    append(c, only_where([](const Row& r) { return r.index >= kTechHalf; }, evade_columns(techs)));
    return {"techniques", "techniques", [](int) { return kTechCount; }, std::move(c), {}, {}};
}

// The loaded blocks; null in a description without an image.
struct Blocks {
    const MonsterRecord* monsters = nullptr;
    const EncounterRow* encounters_main = nullptr;
    const SubEncounter* encounters_sub = nullptr;
    const CharacterRecord* characters = nullptr;
    const ItemRecord* items = nullptr;
    const TechRecord* techs = nullptr;
    const TechLearning* learning = nullptr;
    const FormationEntry* formations = nullptr;
};

std::vector<Table> tables(const Blocks& b, const NameTables& names) {
    return {monster_table(names, b.monsters, b.items),
            main_encounter_table(names, b.encounters_main),
            sub_encounter_table(names, b.encounters_sub),
            character_table(names, b.characters),
            item_table(names, b.items),
            technique_table(names, b.techs),
            learning_table(b.learning, technique_target(names)),
            formation_table(b.formations, kFormationCount, NameLookup(names, formation_name), false)};
}

std::vector<Table> load(const RomImage& image, std::shared_ptr<const void>& kept) {
    common::Result<Run> loaded = Run::load(image);  // the loaders in the analyzer's order
    if (!loaded) fatal(loaded.error());
    const auto run = std::make_shared<const Run>(std::move(*loaded));
    kept = run;
    const NameTables& names = run->names;
    // Every name table is read now, so that an image too short for one ends
    // the run before any file is written.
    for (NameLookup::Function name : {monster_name, character_name, item_name, tech_name, formation_name}) {
        name(names, 0);
    }
    const Blocks blocks{run->monsters.data(), run->encounters_main.data(), run->encounters_sub.data(), run->characters.data(),
                        run->items.data(),    run->techs.data(),           &run->learning,       run->formations.data()};
    return tables(blocks, names);
}

// Without an image: name tables that no lookup may ask (values are not).
std::vector<Table> describe() {
    static const RomImage no_image;
    static const NameTables no_names(no_image);
    return tables({}, no_names);
}

}  // namespace

const ExporterInfo kGameBExporter = {
    {"mt3export - MERIDIAN TALES3 data table exporter (JSON, CSV, SQL and a viewer page)",
     "%s: [option] src-filename [dst-pathname]\n",
     kExporterOptions, static_cast<int>(std::size(kExporterOptions))},
    "MERIDIAN TALES3      ",
    "B",
    "mt3",
    mt3::kTableSpan,
    load,
    describe,
};
