// Game B, MERIDIAN TALES3 (HiROM): its description, one part per tool family.
// The registry (tools/games.h) names this namespace; each family's main
// takes its part from here. The parts are defined in this folder: the
// analyzer's in games/b/driver.cpp, the decoder's character tables in
// games/b/chartables.cpp, the exporter's in games/b/export_tables.cpp, the
// importer's in games/b/import_layout.cpp, the demo image's in
// games/b/demo_image.cpp; every table region the loaders read is
// layout::kTables (games/b/layout.h).
#pragma once

#include "common/driver.h"
#include "common/game.h"
#include "demo/demo.h"
#include "export/exporter.h"
#include "games/b/chartables.h"
#include "games/b/layout.h"
#include "import/apply.h"

namespace mt3 {

inline constexpr common::Game kGame{"mt3", "B", "MERIDIAN TALES3      "};

// The analyzer: its title, help text and run (common::run_reports over
// kReports, games/b/driver.h).
extern const common::AnalyzerInfo kAnalyzerInfo;

// The exporter: its tables, loaded from an image or described without one.
extern const exporter::ExporterInfo kExporter;
inline const exporter::ExporterInfo& exporter() { return kExporter; }

// What the importer may write.
const importer::ImportLayout& import_layout();

// The demo's image and game text of the game, and the files the generator
// writes them to.
demo::DemoGame make_demo();
inline constexpr demo::DemoFileNames kDemoFiles{"mt3demo.smc", "mt3demo-text.bin"};

}  // namespace mt3
