// The game-A analyzer driver: the table of its reports, which the run
// (kAnalyzerInfo, games/a/game.h) loads the tables for and writes.
#pragma once

#include "common/driver.h"
#include "games/a/game.h"
#include "games/a/run.h"

namespace mt2 {

// Every report, in the order they are written.
extern const common::ReportEntry<Run> kReports[18];

}  // namespace mt2
