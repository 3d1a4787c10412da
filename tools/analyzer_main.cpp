// mt2analyzer, mt3analyzer: the data tables of a ROM image as text reports.
// One main for every game: the game is the one the program's name names, or
// MT_GAME, the one it was built for.
#include "common/driver.h"
#include "common/tool_main.h"
#include "tools/games.h"

namespace {

#define MT_ANALYZER(game) {game::kGame, game::kAnalyzerInfo},
const common::GameEntry<const common::AnalyzerInfo&> kAnalyzers[] = {MT_GAMES(MT_ANALYZER)};

int run(int argc, char** argv) {
    const common::AnalyzerInfo& info = common::find_game(kAnalyzers, "analyzer", argv[0], MT_GAME).part;
    return common::analyzer_main(argc, argv, info);
}

}  // namespace

int main(int argc, char** argv) { return common::tool_main(argc, argv, run); }
