// mt2merge, mt3merge: several people's images or patches of one base merged
// field by field. One main for every game: the game is the one the program's
// name names, or MT_GAME, the one it was built for.
#include <iterator>
#include <string>

#include "common/tool_main.h"
#include "merge/merge.h"
#include "tools/session_games.h"

namespace {

int run(int argc, char** argv) {
    const auto& games = tools::session_games();
    const common::GameEntry<session::GameParts>* game = &games.front();
    const std::string_view program = common::program_base_name(argv[0]);
    bool named = false;
    for (const auto& entry : games) {
        if (!named && common::names_tool(program, entry.game, "merge")) game = &entry, named = true;
    }
    for (const auto& entry : games) {
        if (!named && std::string_view(MT_GAME) == entry.game.name) game = &entry, named = true;
    }
    const std::string banner = std::string(game->game.name) + "merge - " + game->game.plain_title() +
                               " changes of several images or patches merged field by field";
    const merge::MergeInfo info = {
        {banner.c_str(), "%s: [option] base changed...\n", merge::kMergeOptions,
         static_cast<int>(std::size(merge::kMergeOptions))},
        game->part,
    };
    return merge::merge_main(argc, argv, info);
}

}  // namespace

int main(int argc, char** argv) { return common::tool_main(argc, argv, run, 2); }
