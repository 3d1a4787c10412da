// mt2export, mt3export: every table of a ROM image as UTF-8 data files. One
// main for every game: the game is the one the program's name names, or
// MT_GAME, the one it was built for.
#include "common/tool_main.h"
#include "export/exporter.h"
#include "tools/games.h"

namespace {

#define MT_EXPORTER(game) {game::kGame, game::exporter()},
const common::GameEntry<const exporter::ExporterInfo&> kExporters[] = {MT_GAMES(MT_EXPORTER)};

int run(int argc, char** argv) {
    return exporter::exporter_main(argc, argv, common::find_game(kExporters, "export", argv[0], MT_GAME).part);
}

}  // namespace

int main(int argc, char** argv) { return common::tool_main(argc, argv, run); }
