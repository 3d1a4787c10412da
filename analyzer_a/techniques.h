// Techniques of game A: the name lookup, the technique block, the learning
// data and the three technique reports.
#pragma once

#include "common/learning.h"
#include "common/techniques.h"

namespace mt2 {

constexpr int kTechCount = 256;

// Indices 0..10 give the fixed texts of the ordinary attacks and the two
// potions, 11..255 the technique's name from the ROM, anything else "".
const char* tech_name(int index);

// The 256 technique records: derivation and evade flags, learn types and
// difficulty.
TechRecord* load_techs();

// The groups of the two learning lists; released with free_tech_learning and
// then free().
TechLearning* load_tech_learning();

int write_tech_learn_flag(const char* path, const TechRecord* techs);
int write_tech_learn_data(const char* path, const TechLearning* learning);
int write_tech_evade_data(const char* path, const TechRecord* techs);

}  // namespace mt2
