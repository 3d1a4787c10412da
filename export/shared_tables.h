// Tables that both games export in one shape: techniques, learning lists,
// formations and the monsters' action patterns.
#pragma once

#include <functional>
#include <vector>

#include "common/formations.h"
#include "common/learning.h"
#include "common/techniques.h"
#include "export/table.h"

namespace exporter {

// The derivation flag and the sixteen learn types of a technique record.
Columns learn_flag_columns(const common::TechRecord* techs);
// The evade flag and the difficulty of a technique record.
Columns evade_columns(const common::TechRecord* techs);

// "techniques": index and name, the learn flags and the evade columns, each
// group only in the rows where it applies (every row, without a filter).
using RowFilter = std::function<bool(const Row&)>;
Table technique_table(common::NameLookup name, const common::TechRecord* techs, int count,
                      const RowFilter& learns = nullptr, const RowFilter& evades = nullptr);

// The records of one of a run's tables, or its one block (the learning
// lists), as the column makers read them; null without a run (the tables
// described only). The table may be one of the tables every game's run
// holds (a member of its base, common::RunTables).
template <typename Run, typename Holder, typename Record>
const Record* records_of(const Run* run, std::vector<Record> Holder::*table) {
    return run ? (run->*table).data() : nullptr;
}
template <typename Run, typename Holder, typename Block>
const Block* block_of(const Run* run, Block Holder::*block) {
    return run ? &(run->*block) : nullptr;
}

// "name": the name of each row's index.
Column name_column(common::NameLookup name);

// "kind": the name of an item's kind.
template <typename Item, size_t N>
Column kind_column(const Item* items, const char* const (&names)[N]) {
    Column c = text_column(common::shared_keys::kKind, [items, &names](const Row& r) { return names[items[r.index].kind % N]; });
    c.allowed.assign(names, names + N);
    return c;
}

// The two inherent techniques of a weapon, 255 none.
template <typename Item>
void add_inherent_techs(Columns& c, const Item* items, const Target& techs) {
    const Target target{techs.table, techs.name, 255};
    add_reference(c, common::shared_keys::kTechs[0], [items](const Row& r) { return items[r.index].techs[0]; }, target);
    add_reference(c, common::shared_keys::kTechs[1], [items](const Row& r) { return items[r.index].techs[1]; }, target);
}

// "learning_lists": the groups in order, each with its key technique and its
// "entries" (technique and difficulty).
Table learning_table(const common::TechLearning* learning, const Target& techs);

// "formations": index and name, with the five "members" of each formation;
// actual_rear adds the actual rear defence (game A).
Table formation_table(const common::FormationEntry* formations, int count, common::NameLookup formation_name, bool actual_rear);

// A game's techniques: their name lookup and count, and the rows that carry
// the learn and the evade columns (every row, without a filter).
struct Techniques {
    common::NameLookup::Function name;
    int count;
    RowFilter learns = nullptr;
    RowFilter evades = nullptr;
};

// tables followed by the tables that end both games' exports, of a run's
// blocks (null: described only): "techniques", "learning_lists" and
// "formations" (of the game's formation table Formations).
template <const common::FormationTable& Formations, typename Run>
std::vector<Table> with_technique_tables(const Run* run, const common::NameTables& names, const Techniques& techs,
                                         std::vector<Table> tables) {
    const Target target{"techniques", common::NameLookup(names, techs.name)};
    tables.push_back(technique_table(target.name, records_of(run, &Run::techs), techs.count, techs.learns, techs.evades));
    tables.push_back(learning_table(block_of(run, &Run::learning), target));
    tables.push_back(formation_table(records_of(run, &Run::formations), Formations.records.count,
                                     common::NameLookup(names, common::formation_name<Formations>),
                                     Formations.actual_rear_column));
    return tables;
}

// "actions" of the monsters table: sixteen rows per monster, pattern 1 and 2
// with slots 1 to 8, each naming a technique; tech(monster, pattern, slot)
// gives the technique index (pattern and slot counted from 0).
Table action_table(std::function<int(int monster, int pattern, int slot)> tech, const Target& techs);

}  // namespace exporter
