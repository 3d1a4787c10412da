// The game-A analyzer driver: the table of its reports, the run
// that loads the tables and writes the reports.
#pragma once

#include "common/driver.h"
#include "games/a/run.h"

namespace mt2 {

// Every report, in the order they are written.
extern const common::ReportEntry<Run> kReports[18];

// Title, help text and run of mt2analyzer, for analyzer_main.
extern const common::AnalyzerInfo kAnalyzerInfo;

// Loads the tables of the image and writes every report under the
// destination prefix. Returns 1 when any report failed, else 0.
int run(const char* prefix, const common::RomImage& image);

}  // namespace mt2
