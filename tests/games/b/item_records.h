// The item records that both the item and the monster tests of game B read:
// the names of the items both show, the shield 80, the armour 96 and 97, and
// the bytes after the last armour record, which no item may take.
#pragma once

#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

namespace mt3_test {

constexpr RecordTable kWeapons{0x3E0020, 4};  // items 8-79
constexpr RecordTable kShields{0x3E0140, 4};  // items 80-95
constexpr RecordTable kArmour{0x3E0180, 9};   // items 96-223

inline void put_shared_items(RomBuilder& rom) {
    put_names(rom, kItemNames, {
        {8, {0x56, 0x60, 0x65}},    // かたな
        {80, {0x60, 0x63}},         // たて
        {96, {0x75, 0x7A, 0x52}},   // よろい
        {97, {0x5A, 0x7A, 0x72}},   // ころも
        {224, {0x58, 0x5D, 0x77}},  // くすり
    });
    rom.put(kShields.at(0), {0x0B, 0x85, 0x93, 0x81});
    put_records(rom, kArmour, {
        {0, 0, {0x94, 0xAB, 0x8A, 0x5D, 0x42, 0xFF, 0x08, 0x81, 0xF5}},
        {1, 0, {0x07, 0xF6, 0x09, 0xF4, 0x81, 0x00, 0xF8, 0xFE, 0x03}},
    });
    // The character records follow the armour records; items 224-255 have no
    // record and must not take these bytes.
    rom.fill(kArmour.at(128), 9 * 32, 0x7F);
}

}  // namespace mt3_test
