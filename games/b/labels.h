// Game B's labels of the reports and exports: attack kinds, status changes,
// race names and the recovery types.
#pragma once

#include "common/labels.h"

namespace mt3 {

extern const common::LabelSet kLabels;

// The recovery type's name for 0..7, "" otherwise.
const char* type_name(int index);

}  // namespace mt3
