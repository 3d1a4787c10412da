// Where each game keeps its tables: the cartridge title and map mode, the size
// of the ROM proper and every table region of the game's layout. The fault
// tests cut images short inside each region and fill them with random bytes;
// the fuzz target fills them from its input.
#pragma once

#include <cstddef>
#include <vector>

#include "games/a/layout.h"
#include "games/b/layout.h"

struct TableRegion {
    const char* name;
    long offset;  // rom offset
    long size;    // bytes
};

struct GameRegions {
    const char* title;  // cartridge header title
    unsigned char map_mode;
    long rom_size;
    std::vector<TableRegion> tables;
};

// The table regions of a game's layout.
template <size_t N>
std::vector<TableRegion> layout_regions(const common::TableLayout (&tables)[N]) {
    std::vector<TableRegion> regions;
    for (const common::TableLayout& t : tables) regions.push_back({t.name, t.offset, t.size()});
    return regions;
}

inline const GameRegions kGameARegions{"MERIDIAN TALES2      ", 0x20, 0x200000, layout_regions(mt2::layout::kTables)};
inline const GameRegions kGameBRegions{"MERIDIAN TALES3      ", 0x21, 0x400000, layout_regions(mt3::layout::kTables)};
