// mt2compare, mt3compare: two images, or an image and a patch, table by
// table. One main for every game: the game is the one the program's name
// names, or MT_GAME, the one it was built for.
#include <cstdio>
#include <iterator>
#include <span>

#include "common/tool_main.h"
#include "compare/compare.h"
#include "tools/games.h"

namespace {

struct Comparison {
    const exporter::ExporterInfo& exporter;
    std::span<const common::TableLayout> tables;
};

#define MT_COMPARISON(game) {game::kGame, {game::exporter(), game::layout::kTables}},
const common::GameEntry<Comparison> kComparisons[] = {MT_GAMES(MT_COMPARISON)};

int run(int argc, char** argv) {
    const common::GameEntry<Comparison>& game = common::find_game(kComparisons, "compare", argv[0], MT_GAME);
    // Made without allocating: memory that runs out before compare_main
    // takes over ends the run with the comparisons' own status.
    char banner[160];
    snprintf(banner, sizeof banner, "%scompare - %.*s image comparison, table by table", game.game.name,
             static_cast<int>(game.game.plain_title_size()), game.game.title);
    const compare::CompareInfo info = {
        {banner, "%s: [option] old-filename new-filename\n", compare::kCompareOptions,
         static_cast<int>(std::size(compare::kCompareOptions))},
        game.part.exporter,
        game.part.tables,
    };
    return compare::compare_main(argc, argv, info);
}

}  // namespace

int main(int argc, char** argv) { return common::tool_main(argc, argv, run, compare::kCompareTrouble); }
