// The registry of games: every game the tools know, one line each, and the
// lookup of a tool's game by the name it was started by.
//
// A game is a folder of its own whose game.h declares, in the game's
// namespace, kGame (common::Game) and each family's part, or includes the
// header of the folder that does: kAnalyzerInfo, kCharTables, exporter(),
// import_layout(), make_demo(), kDemoFiles and layout::kTables. A tool
// family's main makes its table of games with MT_GAMES and looks its game up
// with find_game.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/game.h"
#include "games/a/game.h"
#include "games/b/game.h"

// Every game: the namespace of its description.
#define MT_GAMES(GAME) GAME(mt2) GAME(mt3)

namespace common {

// A family's part of a game, beside the game: a reference to the part the
// game's description holds (GameEntry<const AnalyzerInfo&>), or a small value
// of references made of its parts.
template <typename Part>
struct GameEntry {
    const Game& game;
    Part part;
};

// The game whose tool of the family the program was started as; when its
// name is none of theirs (a copy renamed), the game named fallback, the one
// the tool was built for.
template <typename Part, size_t N>
const GameEntry<Part>& find_game(const GameEntry<Part> (&games)[N], std::string_view family, const char* argv0,
                                 std::string_view fallback) {
    const std::string_view program = program_base_name(argv0);
    for (const GameEntry<Part>& entry : games) {
        if (names_tool(program, entry.game, family)) return entry;
    }
    for (const GameEntry<Part>& entry : games) {
        if (fallback == entry.game.name) return entry;
    }
    return games[0];
}

}  // namespace common
