// Game B, MERIDIAN TALES3 (HiROM): its description, one part per tool family.
// The registry (tools/games.h) names this namespace; each family's main
// takes its part from here. The parts are defined in this folder: the
// analyzer's in games/b/driver.cpp, the exporter's in games/b/export_tables.cpp,
// the importer's in games/b/import_layout.cpp, the demo image's in
// games/b/demo_image.cpp.
#pragma once

#include "common/chartables.h"
#include "common/game.h"
#include "export/exporter.h"
#include "games/b/chartables.h"
#include "games/b/layout.h"
#include "import/apply.h"

namespace common {
struct AnalyzerInfo;
}  // namespace common

namespace demo {
struct DemoGame;
}  // namespace demo

namespace mt3 {

inline constexpr common::Game kGame{"mt3", "B", "MERIDIAN TALES3      "};

// The character tables of its texts.
inline const common::CharTables& char_tables() { return mt3::kCharTables; }

// The analyzer: its title, help text and run.
extern const common::AnalyzerInfo kAnalyzerInfo;

// The exporter: its tables, loaded from an image or described without one.
extern const exporter::ExporterInfo kExporter;
inline const exporter::ExporterInfo& exporter() { return kExporter; }

// What the importer may write.
const importer::ImportLayout& import_layout();

// The demo's image and game text of the game (games/b/demo_image.cpp), and
// the files the generator writes them to.
demo::DemoGame make_demo();
inline constexpr const char* kDemoImage = "mt3demo.smc";
inline constexpr const char* kDemoText = "mt3demo-text.bin";

// Every table region the loaders read: layout::kTables (games/b/layout.h).

}  // namespace mt3
