// Game A, MERIDIAN TALES2 (LoROM): its description, one part per tool family.
// The registry (tools/games.h) names this namespace; each family's main
// takes its part from here. The parts are defined in this folder: the
// analyzer's in games/a/driver.cpp, the exporter's in games/a/export_tables.cpp,
// the importer's in games/a/import_layout.cpp, the demo image's in
// games/a/demo_image.cpp.
#pragma once

#include "common/chartables.h"
#include "common/game.h"
#include "export/exporter.h"
#include "games/a/chartables.h"
#include "games/a/layout.h"
#include "import/apply.h"

namespace common {
struct AnalyzerInfo;
}  // namespace common

namespace demo {
struct DemoGame;
}  // namespace demo

namespace mt2 {

inline constexpr common::Game kGame{"mt2", "A", "MERIDIAN TALES2      "};

// The character tables of its texts.
inline const common::CharTables& char_tables() { return mt2::kCharTables; }

// The analyzer: its title, help text and run.
extern const common::AnalyzerInfo kAnalyzerInfo;

// The exporter: its tables, loaded from an image or described without one.
extern const exporter::ExporterInfo kExporter;
inline const exporter::ExporterInfo& exporter() { return kExporter; }

// What the importer may write.
const importer::ImportLayout& import_layout();

// The demo's image and game text of the game (games/a/demo_image.cpp), and
// the files the generator writes them to.
demo::DemoGame make_demo();
inline constexpr const char* kDemoImage = "mt2demo.smc";
inline constexpr const char* kDemoText = "mt2demo-text.bin";

// Every table region the loaders read: layout::kTables (games/a/layout.h).

}  // namespace mt2
