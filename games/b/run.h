// One run of the game-B analyzer over an image: the name tables and every
// table loaded, which the report writers format from.
#pragma once

#include <vector>

#include "common/driver.h"
#include "common/error.h"
#include "games/b/characters.h"
#include "games/b/encounters.h"
#include "games/b/formations.h"
#include "games/b/items.h"
#include "games/b/layout.h"
#include "games/b/monsters.h"
#include "games/b/techniques.h"

namespace mt3 {

// Rom offsets 0 up to the end of the highest table: the part of the image
// read into memory.
constexpr long kTableSpan = common::tables_end(layout::kTables);

// The tables of every game (common::RunTables) and game B's own.
struct Run : common::RunTables<MonsterRecord, ItemRecord> {
    // Loads the eight tables in their order (common::load_run).
    static common::Result<Run> load(const common::RomImage& image);

    std::vector<EncounterRow> encounters_main{};
    std::vector<SubEncounter> encounters_sub{};
    std::vector<CharacterRecord> characters{};
};

}  // namespace mt3
