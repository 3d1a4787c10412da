// The game-B analyzer driver: the table of its reports, which the run
// (kAnalyzerInfo, games/b/game.h) loads the tables for and writes.
#pragma once

#include "common/driver.h"
#include "games/b/game.h"
#include "games/b/run.h"

namespace mt3 {

// Every report, in the order they are written.
extern const common::ReportEntry<Run> kReports[19];

}  // namespace mt3
