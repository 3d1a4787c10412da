// Tables that both games export in one shape: techniques, learning lists,
// formations and the monsters' action patterns.
#pragma once

#include <functional>

#include "common/formations.h"
#include "common/learning.h"
#include "common/techniques.h"
#include "export/table.h"

// The derivation flag and the sixteen learn types of a technique record.
Columns learn_flag_columns(const TechRecord* techs);
// The evade flag and the difficulty of a technique record.
Columns evade_columns(const TechRecord* techs);

// "learning_lists": the groups in order, each with its key technique and its
// "entries" (technique and difficulty).
Table learning_table(const TechLearning* learning, NameLookup tech_name);

// "formations": index and name, with the five "members" of each formation;
// actual_rear adds the actual rear defence (game A).
Table formation_table(const FormationEntry* formations, int count, NameLookup formation_name, bool actual_rear);

// "actions" of the monsters table: sixteen rows per monster, pattern 1 and 2
// with slots 1 to 8, each naming a technique; tech(monster, pattern, slot)
// gives the technique index (pattern and slot counted from 0).
Table action_table(std::function<int(int monster, int pattern, int slot)> tech, NameLookup tech_name);
