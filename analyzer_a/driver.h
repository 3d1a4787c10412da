// The game-A analyzer: its help text and title, and the run that loads the
// eight tables and writes the eighteen reports.
#pragma once

#include "common/driver.h"

namespace mt2 {

// Loads every table, writes the reports under the destination prefix, closes
// the ROM image and releases the blocks; returns 1 when any report failed.
int run(const char* prefix);

extern const AnalyzerInfo kAnalyzerInfo;

}  // namespace mt2
