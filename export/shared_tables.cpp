#include "export/shared_tables.h"

#include "common/monsters.h"

namespace {

// Bit n of a learn-type word is the report's column TYnn.
const char* const kLearnTypes[16] = {"TY00", "TY01", "TY02", "TY03", "TY04", "TY05", "TY06", "TY07",
                                     "TY08", "TY09", "TY10", "TY11", "TY12", "TY13", "TY14", "TY15"};

}  // namespace

Column name_column(NameLookup name) {
    return text_column({"name", "名前"}, [name](const Row& r) { return name(r.index); });
}

Columns learn_flag_columns(const TechRecord* techs) {
    return {
        flag_column({"derivation", "派生"}, [techs](const Row& r) { return techs[r.index].derivation != 0; }),
        labels_column({"learn_types", ""}, [techs](const Row& r) { return techs[r.index].learn_types; }, kLearnTypes,
                      16, BitOrder::kLowestFirst),
    };
}

Columns evade_columns(const TechRecord* techs) {
    return {
        flag_column({"evade", "見切"}, [techs](const Row& r) { return techs[r.index].evade != 0; }),
        number_column({"difficulty", "難度"}, [techs](const Row& r) { return techs[r.index].difficulty; }),
    };
}

Table learning_table(const TechLearning* learning, const Target& techs) {
    auto group = [learning](int g) -> const LearnGroup& { return learning->groups[g]; };
    Table entries{"entries", "learning-entries", [group](int g) { return group(g).count; }, {}, {}, {}};
    entries.columns.push_back(index_column());
    add_reference(entries.columns, {"tech", ""},
                  [group](const Row& r) { return group(r.parent).entries[r.index].tech; }, techs);
    entries.columns.push_back(number_column(
        {"difficulty", "難度"}, [group](const Row& r) { return group(r.parent).entries[r.index].difficulty; }));
    entries.parent_keys = {{"index", "group"}, {"key", "key"}, {"key_name", "key_name"}};

    Table groups{"learning_lists", "learning-lists", [learning](int) { return learning->group_count; }, {}, {}, {}};
    groups.columns.push_back(index_column());
    add_reference(groups.columns, {"key", ""}, [group](const Row& r) { return group(r.index).key; }, techs);
    groups.columns.push_back(number_column({"count", ""}, [group](const Row& r) { return group(r.index).count; }));
    groups.children.push_back(std::move(entries));
    return groups;
}

Table formation_table(const FormationEntry* formations, int count, NameLookup formation_name, bool actual_rear) {
    auto member = [formations](const Row& r) -> const FormationEntry& {
        return formations[r.parent * kFormationMembers + r.index];
    };
    Table members{"members", "formation-members", [](int) { return kFormationMembers; }, {}, {}, {}};
    members.columns = {
        number_column({"position", ""}, [](const Row& r) { return r.index + 1; }),
        number_column({"rate", "選択率"}, [member](const Row& r) { return member(r).rate; }),
        number_column({"speed", "素早さ"}, [member](const Row& r) { return member(r).speed; }),
        flag_column({"front_defence", "前防"}, [member](const Row& r) { return member(r).front_defence != 0; }),
        flag_column({"rear_defence", "後防"}, [member](const Row& r) { return member(r).rear_defence != 0; }),
        flag_column({"close_attack", "近攻"}, [member](const Row& r) { return member(r).close_attack != 0; }),
        flag_column({"ranged_attack", "遠攻"}, [member](const Row& r) { return member(r).ranged_attack != 0; }),
        flag_column({"magic_attack", "術攻"}, [member](const Row& r) { return member(r).magic_attack != 0; }),
    };
    if (actual_rear) {
        members.columns.push_back(flag_column(
            {"actual_rear_defence", "後防(実際)"}, [member](const Row& r) { return actual_rear_defence(member(r)) != 0; }));
    }
    members.parent_keys = {{"index", "formation"}, {"name", "formation_name"}};
    members.row_key = {"position"};

    Table table{"formations", "formations", [count](int) { return count; }, {}, {}, {}};
    table.columns = {index_column(), name_column(formation_name)};
    table.children.push_back(std::move(members));
    return table;
}

Table action_table(std::function<int(int monster, int pattern, int slot)> tech, const Target& techs) {
    Table actions{"actions", "monster-actions", [](int) { return 2 * kActionSlots; }, {}, {}, {}};
    actions.columns = {
        number_column({"pattern", ""}, [](const Row& r) { return r.index / kActionSlots + 1; }),
        number_column({"slot", ""}, [](const Row& r) { return r.index % kActionSlots + 1; }),
    };
    add_reference(actions.columns, {"tech", "行動"}, [tech](const Row& r) {
        return tech(r.parent, r.index / kActionSlots, r.index % kActionSlots);
    }, techs);
    actions.parent_keys = {{"index", "monster"}, {"name", "monster_name"}};
    actions.row_key = {"pattern", "slot"};
    return actions;
}
