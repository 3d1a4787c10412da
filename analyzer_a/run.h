// One run of the game-A analyzer over an image: the name tables and every
// table loaded, which the report writers format from.
#pragma once

#include <cstdint>

#include "analyzer_a/characters.h"
#include "analyzer_a/formations.h"
#include "analyzer_a/items.h"
#include "analyzer_a/layout.h"
#include "analyzer_a/monsters.h"
#include "analyzer_a/techniques.h"
#include "common/names.h"
#include "common/run_blocks.h"

namespace mt2 {

// Rom offsets 0 up to the end of the highest table: the part of the image
// read into memory.
constexpr long kTableSpan = tables_end(layout::kTables);

struct Run {
    // Loads the eight tables in their order; a table beyond the end of the
    // image ends the process (or throws through a fatal hook) with nothing
    // written. The names are read on their first lookup.
    explicit Run(const RomImage& image);

    RunBlocks owner;  // releases the blocks
    NameTables names;
    MonsterRecord* monsters;
    CharacterRecord* characters;
    SpecialCharacterRecord* specials;
    int32_t* levels;
    ItemRecord* items;
    TechRecord* techs;
    TechLearning* learning;
    FormationEntry* formations;
};

}  // namespace mt2
