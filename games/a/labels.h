// Game A's labels of the reports and exports: attack kinds, status changes
// and race names.
#pragma once

#include "common/labels.h"

namespace mt2 {

extern const common::LabelSet kLabels;

}  // namespace mt2
