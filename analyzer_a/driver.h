// The game-A analyzer driver: loads the eight tables, writes the eighteen
// reports and releases everything.
#pragma once

#include "common/driver.h"

namespace mt2 {

// Title, help text and run of mt2analyzer, for analyzer_main.
extern const AnalyzerInfo kAnalyzerInfo;

// With the image open: loads the tables, writes every report under the
// destination prefix, closes the image and releases the blocks. Returns 1 when
// any report failed, else 0.
int run(const char* prefix);

}  // namespace mt2
