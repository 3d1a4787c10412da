// mt2import, mt3import: edited tables written back into the image, with
// patches. One main for every game: the game is the one the program's name
// names, or MT_GAME, the one it was built for.
#include <iterator>
#include <string>

#include "common/tool_main.h"
#include "import/import.h"
#include "tools/games.h"

namespace {

struct Importer {
    const exporter::ExporterInfo& exporter;
    const importer::ImportLayout& (*layout)();
};

#define MT_IMPORTER(game) {game::kGame, {game::exporter(), game::import_layout}},
const common::GameEntry<Importer> kImporters[] = {MT_GAMES(MT_IMPORTER)};

int run(int argc, char** argv) {
    const common::GameEntry<Importer>& game = common::find_game(kImporters, "import", argv[0], MT_GAME);
    const std::string banner =
        std::string(game.game.name) + "import - " + game.game.plain_title() + " edited tables written back into the image";
    const importer::ImportInfo info = {
        {banner.c_str(), "%s: [option] image edited-file...\n", importer::kImportOptions,
         static_cast<int>(std::size(importer::kImportOptions))},
        game.part.exporter,
        game.part.layout(),
    };
    return importer::import_main(argc, argv, info);
}

}  // namespace

int main(int argc, char** argv) { return common::tool_main(argc, argv, run); }
