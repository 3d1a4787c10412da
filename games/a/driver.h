// The game-A analyzer driver: the table of its reports, the run
// that loads the tables and writes the reports.
#pragma once

#include "common/driver.h"
#include "games/a/run.h"

namespace mt2 {

// Every report, in the order they are written.
extern const common::ReportEntry<Run> kReports[18];

// Title, help text and run (common::run_reports over kReports) of mt2analyzer, for analyzer_main.
extern const common::AnalyzerInfo kAnalyzerInfo;

}  // namespace mt2
