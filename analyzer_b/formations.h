// Game-B battle formations: 32 formation names, the formation block and the
// formation report.
#pragma once

#include "common/formations.h"

namespace mt3 {

constexpr int kFormationCount = 32;

// The name of formation 0..31, "" for any other number.
const char* formation_name(int index);

// kFormationCount x kFormationMembers entries, formation by formation.
FormationEntry* load_formations();

int write_formdata(const char* path, const FormationEntry* formations);

}  // namespace mt3
