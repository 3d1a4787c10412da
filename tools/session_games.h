// The session's parts of every game of the registry, for the shells that
// open sessions (the module's, the tests', the benchmarks').
#pragma once

#include <span>

#include "session/session.h"
#include "tools/games.h"

namespace tools {

#define MT_SESSION_GAME(game) \
    {game::kGame, session::GameParts{game::exporter(), game::import_layout(), game::layout::kTables}},

inline std::span<const common::GameEntry<session::GameParts>> session_games() {
    static const common::GameEntry<session::GameParts> games[] = {MT_GAMES(MT_SESSION_GAME)};
    return games;
}

#undef MT_SESSION_GAME

}  // namespace tools
