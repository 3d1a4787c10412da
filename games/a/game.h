// Game A, MERIDIAN TALES2 (LoROM): its description, one part per tool family.
// The registry (tools/games.h) names this namespace; each family's main
// takes its part from here. The parts are defined in this folder: the
// analyzer's in games/a/driver.cpp, the decoder's character tables in
// games/a/chartables.cpp, the exporter's in games/a/export_tables.cpp, the
// importer's in games/a/import_layout.cpp, the demo image's in
// games/a/demo_image.cpp; every table region the loaders read is
// layout::kTables (games/a/layout.h).
#pragma once

#include "common/driver.h"
#include "common/game.h"
#include "demo/demo.h"
#include "export/exporter.h"
#include "games/a/chartables.h"
#include "games/a/layout.h"
#include "import/apply.h"

namespace mt2 {

inline constexpr common::Game kGame{"mt2", "A", "MERIDIAN TALES2      "};

// The analyzer: its title, help text and run (common::run_reports over
// kReports, games/a/driver.h).
extern const common::AnalyzerInfo kAnalyzerInfo;

// The exporter: its tables, loaded from an image or described without one.
extern const exporter::ExporterInfo kExporter;
inline const exporter::ExporterInfo& exporter() { return kExporter; }

// What the importer may write.
const importer::ImportLayout& import_layout();

// The demo's image and game text of the game, and the files the generator
// writes them to.
demo::DemoGame make_demo();
inline constexpr demo::DemoFileNames kDemoFiles{"mt2demo.smc", "mt2demo-text.bin"};

}  // namespace mt2
