#include "export/shared_tables.h"

#include "common/monsters.h"

namespace exporter {

namespace {

namespace k = common::shared_keys;

// Bit n of a learn-type word is the report's column TYnn.
const char* const kLearnTypes[16] = {"TY00", "TY01", "TY02", "TY03", "TY04", "TY05", "TY06", "TY07",
                                     "TY08", "TY09", "TY10", "TY11", "TY12", "TY13", "TY14", "TY15"};

}  // namespace

Column name_column(common::NameLookup name) {
    return text_column(common::shared_keys::kName, [name](const Row& r) { return name(r.index); });
}

Columns learn_flag_columns(const common::TechRecord* techs) {
    return {
        flag_column(k::kDerivation, [techs](const Row& r) { return techs[r.index].derivation != 0; }),
        labels_column(k::kLearnTypes, [techs](const Row& r) { return techs[r.index].learn_types; }, kLearnTypes,
                      16, BitOrder::kLowestFirst),
    };
}

Columns evade_columns(const common::TechRecord* techs) {
    return {
        flag_column(k::kEvade, [techs](const Row& r) { return techs[r.index].evade != 0; }),
        number_column(k::kDifficulty, [techs](const Row& r) { return techs[r.index].difficulty; }),
    };
}

Table technique_table(common::NameLookup name, const common::TechRecord* techs, int count, const RowFilter& learns,
                      const RowFilter& evades) {
    const auto where = [](const RowFilter& applies, Columns c) { return applies ? only_where(applies, std::move(c)) : c; };
    Columns c = {index_column(), name_column(name)};
    append(c, where(learns, learn_flag_columns(techs)));
    append(c, where(evades, evade_columns(techs)));
    return {"techniques", "techniques", [count](int) { return count; }, std::move(c), {}, {}};
}

Table learning_table(const common::TechLearning* learning, const Target& techs) {
    auto group = [learning](int g) -> const common::LearnGroup& { return learning->groups[g]; };
    Table entries{"entries", "learning-entries", [group](int g) { return group(g).count; }, {}, {}, {}};
    entries.columns.push_back(index_column());
    add_reference(entries.columns, k::kTech,
                  [group](const Row& r) { return group(r.parent).entries[r.index].tech; }, techs);
    entries.columns.push_back(number_column(
        k::kDifficulty, [group](const Row& r) { return group(r.parent).entries[r.index].difficulty; }));
    entries.parent_keys = {{"index", k::kGroup.key}, {k::kGroupKey.key, k::kGroupKey.key}, {k::kGroupKeyName.key, k::kGroupKeyName.key}};

    Table groups{"learning_lists", "learning-lists", [learning](int) { return learning->group_count; }, {}, {}, {}};
    groups.columns.push_back(index_column());
    add_reference(groups.columns, k::kGroupKey, [group](const Row& r) { return group(r.index).key; }, techs);
    groups.columns.push_back(number_column(k::kCount, [group](const Row& r) { return group(r.index).count; }));
    groups.children.push_back(std::move(entries));
    return groups;
}

Table formation_table(const common::FormationEntry* formations, int count, common::NameLookup formation_name, bool actual_rear) {
    auto member = [formations](const Row& r) -> const common::FormationEntry& {
        return formations[r.parent * common::kFormationMembers + r.index];
    };
    Table members{"members", "formation-members", [](int) { return common::kFormationMembers; }, {}, {}, {}};
    members.columns = {
        number_column(k::kPosition, [](const Row& r) { return r.index + 1; }),
        number_column(k::kRate, [member](const Row& r) { return member(r).rate; }),
        number_column(k::kSpeed, [member](const Row& r) { return member(r).speed; }),
        flag_column(k::kFront, [member](const Row& r) { return member(r).front_defence != 0; }),
        flag_column(k::kRear, [member](const Row& r) { return member(r).rear_defence != 0; }),
        flag_column(k::kClose, [member](const Row& r) { return member(r).close_attack != 0; }),
        flag_column(k::kRanged, [member](const Row& r) { return member(r).ranged_attack != 0; }),
        flag_column(k::kMagic, [member](const Row& r) { return member(r).magic_attack != 0; }),
    };
    if (actual_rear) {
        members.columns.push_back(flag_column(
            k::kActualRear, [member](const Row& r) { return common::actual_rear_defence(member(r)) != 0; }));
    }
    members.parent_keys = {{"index", k::kFormation.key}, {"name", k::kFormationName.key}};
    members.row_key = {k::kPosition.key};

    Table table{"formations", "formations", [count](int) { return count; }, {}, {}, {}};
    table.columns = {index_column(), name_column(formation_name)};
    table.children.push_back(std::move(members));
    return table;
}

Table action_table(std::function<int(int monster, int pattern, int slot)> tech, const Target& techs) {
    Table actions{"actions", "monster-actions", [](int) { return 2 * common::kActionSlots; }, {}, {}, {}};
    actions.columns = {
        number_column(k::kPattern, [](const Row& r) { return r.index / common::kActionSlots + 1; }),
        number_column(k::kSlot, [](const Row& r) { return r.index % common::kActionSlots + 1; }),
    };
    add_reference(actions.columns, k::kAction, [tech](const Row& r) {
        return tech(r.parent, r.index / common::kActionSlots, r.index % common::kActionSlots);
    }, techs);
    actions.parent_keys = {{"index", k::kMonster.key}, {"name", k::kMonsterName.key}};
    actions.row_key = {k::kPattern.key, k::kSlot.key};
    return actions;
}

}  // namespace exporter
