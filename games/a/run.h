// One run of the game-A analyzer over an image: the name tables and every
// table loaded, which the report writers format from.
#pragma once

#include <cstdint>
#include <vector>

#include "common/error.h"
#include "common/names.h"
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

struct Run {
    // Loads the eight tables in their order: the run, or the error of the
    // first table that lies beyond the end of the image. The names are read
    // on their first lookup.
    static common::Result<Run> load(const common::RomImage& image);

    common::NameTables names;
    std::vector<MonsterRecord> monsters;
    std::vector<CharacterRecord> characters;
    std::vector<SpecialCharacterRecord> specials;
    std::vector<int32_t> levels;
    std::vector<ItemRecord> items;
    std::vector<common::TechRecord> techs;
    common::TechLearning learning;
    std::vector<common::FormationEntry> formations;
};

}  // namespace mt2
