// The game-B analyzer driver: the table of its reports, the run
// that loads the tables and writes the reports.
#pragma once

#include "common/driver.h"
#include "games/b/run.h"

namespace mt3 {

// Every report, in the order they are written.
extern const common::ReportEntry<Run> kReports[19];

// Title, help text and run (common::run_reports over kReports) of mt3analyzer, for analyzer_main.
extern const common::AnalyzerInfo kAnalyzerInfo;

}  // namespace mt3
