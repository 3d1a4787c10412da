// One run of the game-B analyzer over an image: the name tables and every
// table loaded, which the report writers format from.
#pragma once

#include <vector>

#include "common/error.h"
#include "common/names.h"
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

struct Run {
    // Loads the eight tables in their order: the run, or the error of the
    // first table that lies beyond the end of the image. The names are read
    // on their first lookup.
    static common::Result<Run> load(const common::RomImage& image);

    common::NameTables names;
    std::vector<MonsterRecord> monsters;
    std::vector<EncounterRow> encounters_main;
    std::vector<SubEncounter> encounters_sub;
    std::vector<CharacterRecord> characters;
    std::vector<ItemRecord> items;
    std::vector<common::TechRecord> techs;
    common::TechLearning learning;
    std::vector<common::FormationEntry> formations;
};

}  // namespace mt3
