// mt2merge, mt3merge: changes of several images or patches of one base
// merged field by field. One main for every game: the game is the one the
// program's name names, or MT_GAME, the one it was built for.
#include <iterator>
#include <string>

#include "common/games.h"
#include "common/tool_main.h"
#include "merge/merge.h"
#include "merge/tool.h"

namespace {

struct Merge {
    const exporter::ExporterInfo& exporter;
    const importer::ImportLayout& (*layout)();
    std::span<const common::TableLayout> regions;
};

#define MT_MERGE(game) {game::kGame, {game::exporter(), game::import_layout, game::layout::kTables}},
const common::GameEntry<Merge> kMerges[] = {MT_GAMES(MT_MERGE)};

int run(int argc, char** argv) {
    const common::GameEntry<Merge>& game = common::find_game(kMerges, "merge", argv[0], MT_GAME);
    const std::string banner =
        std::string(game.game.name) + "merge - " + game.game.plain_title() + " changes of several images or patches merged field by field";
    const session::GameParts parts{game.part.exporter, game.part.layout(), game.part.regions};
    const merge::MergeInfo info = {
        {banner.c_str(), "%s: [option] base changed...\n", merge::kMergeOptions,
         static_cast<int>(std::size(merge::kMergeOptions))},
        parts,
    };
    return merge::merge_main(argc, argv, info);
}

}  // namespace

int main(int argc, char** argv) { return common::tool_main(argc, argv, run, merge::kMergeTrouble); }
