// Where each game keeps its tables: the cartridge title and map mode, the size
// of the ROM proper and every table region that the analyzer reads. The fault
// tests cut images short inside each region and fill them with random bytes;
// the fuzz target fills them from its input.
#pragma once

#include <vector>

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

inline const GameRegions kGameARegions{
    "MERIDIAN TALES2      ",
    0x20,
    0x200000,
    {
        {"item prices", 0x1D86B0, 0x200},
        {"item names", 0x1DBA00, 0xA00},
        {"character names", 0x1DC400, 0x800},
        {"special character names", 0x1DCC00, 0x80},
        {"monster names", 0x1DCC80, 0xA00},
        {"technique names", 0x1DD680, 0xA00},
        {"formation names", 0x1DE260, 0xA0},
        {"weapon, armour and shield records", 0x1E0000, 0x630},
        {"item attributes", 0x1E06C0, 0x600},
        {"character records", 0x1E0CC0, 0xA00},
        {"special character records", 0x1E16C0, 0x2B0},
        {"technique records", 0x1E1B27, 0xA00},
        {"skill level table", 0x1E2527, 100},
        {"learn-type words", 0x1E26EF, 0x200},
        {"learning list 1", 0x1E2AEF, 0x400},
        {"difficulty bytes", 0x1E2CEF, 0x100},
        {"learning list 2", 0x2C64A, 0x400},
        {"technique points", 0x1E6F62, 0x280},
        {"formation records", 0x1E7512, 0x100},
        {"monster records", 0x1E7700, 0x2800},
        {"action patterns", 0x1E9F00, 0x800},
        {"overall skill level table", 0x1EA4DC, 78},
    },
};

inline const GameRegions kGameBRegions{
    "MERIDIAN TALES3      ",
    0x21,
    0x400000,
    {
        {"monster sizes", 0x26E400, 0x140},
        {"formation names", 0x3D0000, 0x140},
        {"item names", 0x3D0280, 0x800},
        {"monster names", 0x3D0A80, 0xA00},
        {"character names", 0x3D1480, 0x800},
        {"technique names", 0x3D27C0, 0x1400},
        {"item records", 0x3E0000, 0x600},
        {"character records", 0x3E0600, 0x900},
        {"technique records", 0x3E0F00, 0x1E00},
        {"level-up records", 0x3E31BF, 0x300},
        {"learn-type words", 0x3E353F, 0x200},
        {"learning list 1", 0x3E3A4B, 0x400},
        {"difficulty bytes", 0x3E3D4B, 0x100},
        {"learning list 2", 0x3E3F1B, 0x400},
        {"monster records", 0x3E3F8B, 0x1F40},
        {"action patterns", 0x3E5ECB, 0x800},
        {"drop table", 0x3E678B, 0x140},
        {"formation records", 0x3E68CB, 0x160},
        {"encounter types", 0x3E756B, 0xD0},
        {"main encounter groups", 0x3E77BB, 0x200},
        {"sub encounter types", 0x3E79BB, 0x5A0},
        {"item prices", 0x3E9958, 0x200},
    },
};
