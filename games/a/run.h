// One run of the game-A analyzer over an image: the name tables and every
// table loaded, which the report writers format from.
#pragma once

#include <cstdint>
#include <vector>

#include "common/driver.h"
#include "common/error.h"
#include "games/a/characters.h"
#include "games/a/formations.h"
#include "games/a/items.h"
#include "games/a/layout.h"
#include "games/a/monsters.h"
#include "games/a/techniques.h"

namespace mt2 {

// Rom offsets 0 up to the end of the highest table: the part of the image
// read into memory.
constexpr long kTableSpan = common::tables_end(layout::kTables);

// The tables of every game (common::RunTables) and game A's own.
struct Run : common::RunTables<MonsterRecord, ItemRecord> {
    // Loads the eight tables in their order (common::load_run).
    static common::Result<Run> load(const common::RomImage& image);

    std::vector<CharacterRecord> characters{};
    std::vector<SpecialCharacterRecord> specials{};
    std::vector<int32_t> levels{};
};

}  // namespace mt2
