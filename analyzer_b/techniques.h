// Game-B techniques: 512 technique names, the technique block (learn flags of
// techniques 0-255, evade flags and difficulties of 256-511), the learning
// lists and the three technique reports.
#pragma once

#include "common/learning.h"
#include "common/techniques.h"

namespace mt3 {

constexpr int kTechCount = 512;
constexpr int kTechHalf = 256;

// The name of technique 0..511, "" for any other index.
const char* tech_name(int index);

TechRecord* load_techs();
TechLearning* load_tech_learning();

int write_tech_learn_flag(const char* path, const TechRecord* techs);
int write_tech_learn_data(const char* path, const TechLearning* learning);
int write_tech_evade_data(const char* path, const TechRecord* techs);

}  // namespace mt3
