// The game-B analyzer driver: the table of its reports, the run
// that loads the tables and writes the reports.
#pragma once

#include "common/driver.h"
#include "games/b/run.h"

namespace mt3 {

// Every report, in the order they are written.
extern const common::ReportEntry<Run> kReports[19];

// Title, help text and run of mt3analyzer, for analyzer_main.
extern const common::AnalyzerInfo kAnalyzerInfo;

// Loads the tables of the image and writes every report under the
// destination prefix. Returns 1 when any report failed, else 0.
int run(const char* prefix, const common::RomImage& image);

}  // namespace mt3
