// Battle formations of game A: the name lookup, the formation block and the
// formation report.
#pragma once

#include "common/formations.h"

namespace mt2 {

constexpr int kFormationCount = 16;

// The formation's name, or "" for an index outside 0..15.
const char* formation_name(int index);

// kFormationCount formations of kFormationMembers entries each.
FormationEntry* load_formations();

int write_formdata(const char* path, const FormationEntry* formations);

}  // namespace mt2
