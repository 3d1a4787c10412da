// The ROM map of game A (LoROM, 2 MiB): every table the tools read and every
// stored field of its records. This is the one place that states where game A
// keeps its data.
#pragma once

#include "common/layout.h"

namespace mt2::layout {

// Name tables: fields of game text, padded with blank codes (0x50).
inline constexpr common::TableLayout kItemNames{"item names", 0x1DBA00, 10, 256};
inline constexpr common::TableLayout kCharacterNames{"character names", 0x1DC400, 8, 256};
inline constexpr common::TableLayout kSpecialNames{"special character names", kCharacterNames.end(), 8, 16};
inline constexpr common::TableLayout kMonsterNames{"monster names", 0x1DCC80, 8, 320};
inline constexpr common::TableLayout kTechNames{"technique names", 0x1DD680, 10, 256};
inline constexpr common::TableLayout kFormationNames{"formation names", 0x1DE260, 10, 16};

// Items.
inline constexpr common::TableLayout kItemPrices{"item prices", 0x1D86B0, 2, 256};
// Weapons (96 records of 4 bytes), armour (96 of 12) and shields (16 of 3),
// back to back.
inline constexpr common::TableLayout kItemRecords{"weapon, armour and shield records", 0x1E0000, 1, 96 * 4 + 96 * 12 + 16 * 3};
inline constexpr common::TableLayout kItemAttributes{"item attributes", 0x1E06C0, 6, 256};
// The three parts of the weapon, armour and shield records: items 0-95,
// 96-191 and 192-207.
inline constexpr common::TableLayout kWeaponRecords{"weapon records", kItemRecords.offset, 4, 96};
inline constexpr common::TableLayout kArmourRecords{"armour records", kWeaponRecords.end(), 12, 96};
inline constexpr common::TableLayout kShieldRecords{"shield records", kArmourRecords.end(), 3, 16};
static_assert(kShieldRecords.end() == kItemRecords.end());
// The item kinds by number: weapons, armour and shields (one record each, in
// the tables above), then the other items (no record).
inline constexpr int kItemCount = kItemNames.count;
inline constexpr common::ItemRange kWeaponItems{0, kWeaponRecords.count};
inline constexpr common::ItemRange kArmourItems{kWeaponItems.end(), kArmourRecords.count};
inline constexpr common::ItemRange kShieldItems{kArmourItems.end(), kShieldRecords.count};
inline constexpr common::ItemRange kOtherItems{kShieldItems.end(), kItemCount - kShieldItems.end()};

// Characters.
inline constexpr common::TableLayout kCharacterRecords{"character records", 0x1E0CC0, 10, 256};
inline constexpr common::TableLayout kSpecialRecords{"special character records", 0x1E16C0, 43, 16};
inline constexpr common::TableLayout kSkillLevels{"skill level table", 0x1E2527, 2, 50};
inline constexpr common::TableLayout kOverallSkillLevels{"overall skill level table", 0x1EA4DC, 2, 39};

// Techniques.
inline constexpr common::TableLayout kTechRecords{"technique records", 0x1E1B27, 10, 256};
inline constexpr common::TableLayout kLearnTypes{"learn-type words", 0x1E26EF, 2, 256};
inline constexpr common::TableLayout kLearningList1{"learning list 1", 0x1E2AEF, 1024, 1};
inline constexpr common::TableLayout kDifficulties{"difficulty bytes", 0x1E2CEF, 1, 256};
inline constexpr common::TableLayout kLearningList2{"learning list 2", 0x2C64A, 1024, 1};

// Monsters and formations.
inline constexpr common::TableLayout kTechPoints{"technique points", 0x1E6F62, 2, 320};
inline constexpr common::TableLayout kFormationRecords{"formation records", 0x1E7512, 16, 16};
inline constexpr common::TableLayout kMonsterRecords{"monster records", 0x1E7700, 32, 320};
inline constexpr common::TableLayout kActionPatterns{"action patterns", 0x1E9F00, 8, 256};

// Every table, in rom order.
inline constexpr common::TableLayout kTables[] = {
    kItemPrices,  kItemNames,     kCharacterNames,   kSpecialNames,  kMonsterNames,   kTechNames,
    kFormationNames, kItemRecords, kItemAttributes, kCharacterRecords, kSpecialRecords, kTechRecords,
    kSkillLevels, kLearnTypes,    kLearningList1,    kDifficulties,  kLearningList2,  kTechPoints,
    kFormationRecords, kMonsterRecords, kActionPatterns, kOverallSkillLevels,
};

// Byte 0 of monster, character and special character records: bits 7..4
// female, undead, boss and flying, bits 3..0 the race.
namespace body {
inline constexpr common::Field kRace{0, 0, 4};
inline constexpr common::Field kFemale = common::flag_field(0, 7);
inline constexpr common::Field kUndead = common::flag_field(0, 6);
inline constexpr common::Field kBoss = common::flag_field(0, 5);
inline constexpr common::Field kFlying = common::flag_field(0, 4);
// The six abilities as nibbles of value - 10 in bytes 1..3 (characters and
// special characters).
inline constexpr common::Field kAbilities[6] = {{1, 0, 4, 10}, {1, 4, 4, 10}, {2, 0, 4, 10},
                                        {2, 4, 4, 10}, {3, 0, 4, 10}, {3, 4, 4, 10}};
}  // namespace body

namespace monster {
inline constexpr common::Field kHp = common::word_field(1);
inline constexpr common::Field kTechLevel = common::byte_field(3);
inline constexpr common::Field kSpellLevel = common::byte_field(4);
inline constexpr common::Field kAbilities[6] = {common::byte_field(5), common::byte_field(6), common::byte_field(7),
                                        common::byte_field(8), common::byte_field(9), common::byte_field(10)};
inline constexpr common::Field kLp = common::byte_field(11);
inline constexpr common::Field kDefences[8] = {common::byte_field(12), common::byte_field(13), common::byte_field(14), common::byte_field(15),
                                       common::byte_field(16), common::byte_field(17), common::byte_field(18), common::byte_field(19)};
inline constexpr common::Field kShieldAttributes = common::byte_field(20);
inline constexpr common::Field kEvasion{21, 0, 7};
inline constexpr common::Field kShieldDefence = common::byte_field(22);
inline constexpr common::Field kStatusResistances = common::byte_field(23);
inline constexpr common::Field kWeapons[2] = {common::byte_field(24), common::byte_field(25)};
inline constexpr common::Field kPatterns[2] = {common::byte_field(26), common::byte_field(27)};  // action pattern numbers
// The emperor, low-HP characters, high-HP characters.
inline constexpr common::Field kTargets[3] = {common::flag_field(28, 7), common::flag_field(28, 4), common::flag_field(28, 3)};
inline constexpr common::Field kRateIndex{28, 0, 2};
inline constexpr common::Field kDrops[2] = {common::byte_field(29), common::byte_field(30)};  // high, low probability
}  // namespace monster

namespace character {
inline constexpr common::Field kLp = common::byte_field(4);
inline constexpr common::Field kSparkType = common::byte_field(5);
// Sword, axe, spear, bow, martial arts.
inline constexpr common::Field kWeapons[5] = {common::flag_field(6, 7), common::flag_field(6, 6), common::flag_field(6, 5), common::flag_field(6, 4),
                                      common::flag_field(6, 3)};
// Fire, water, earth, wind, heaven, underworld.
inline constexpr common::Field kMagic[6] = {common::flag_field(7, 7), common::flag_field(7, 6), common::flag_field(7, 4),
                                    common::flag_field(7, 5), common::flag_field(7, 3), common::flag_field(7, 2)};
inline constexpr common::Field kWeaponAptitude{8, 4, 4, -7};
inline constexpr common::Field kMagicAptitude{8, 0, 4, -7};
}  // namespace character

namespace special {
inline constexpr common::Field kLp = common::byte_field(4);
inline constexpr common::Field kSparkType = common::byte_field(5);
// Sword, axe, spear, bow, martial arts.
inline constexpr common::Field kWeaponLevels[5] = {common::byte_field(6), common::byte_field(7), common::byte_field(8), common::byte_field(9),
                                           common::byte_field(10)};
// Fire, water, earth, wind, heaven, underworld.
inline constexpr common::Field kMagicLevels[6] = {common::byte_field(11), common::byte_field(12), common::byte_field(14),
                                          common::byte_field(13), common::byte_field(15), common::byte_field(16)};
}  // namespace special

namespace item {
inline constexpr common::Field kDisplay = common::byte_field(2);  // of the item attribute record
// Weapon records.
inline constexpr common::Field kAttack = common::byte_field(0);
inline constexpr common::Field kWeaponWeight{1, 0, 4};
inline constexpr common::Field kTechs[2] = {common::byte_field(2), common::byte_field(3)};
// Armour records. A bonus is the amount where its flag is set, else 0: one
// amount serves all six.
inline constexpr common::Field kDefences[8] = {common::byte_field(0), common::byte_field(1), common::byte_field(2), common::byte_field(3),
                                       common::byte_field(4), common::byte_field(5), common::byte_field(6), common::byte_field(7)};
inline constexpr common::Field kStatuses = common::byte_field(8);
// Strength, dexterity, magic, unknown, speed, vitality.
inline constexpr common::Field kBonusFlags[6] = {common::flag_field(10, 7), common::flag_field(10, 6), common::flag_field(10, 5),
                                        common::flag_field(10, 4), common::flag_field(10, 3), common::flag_field(10, 2)};
inline constexpr common::Field kBonusAmount{10, 0, 2, 1};
inline constexpr common::Field kArmourWeight = common::byte_field(11);
// Shield records.
inline constexpr common::Field kAttributes = common::byte_field(0);
inline constexpr common::Field kDefence{1, 0, 7};
inline constexpr common::Field kEvasion{2, 3, 5, 0, 2};
inline constexpr common::Field kShieldWeight{2, 0, 3};
}  // namespace item

// A formation record: five member entries of 3 bytes (the lower and upper
// bound of the member's selection range, then its flag byte), then one
// unused byte.
namespace formation {
inline constexpr common::TableLayout kMembers{"formation members", 0, 3, 5};  // within a record
inline constexpr common::Field kLow = common::byte_field(0);  // of a member entry
inline constexpr common::Field kHigh = common::byte_field(1);
// The byte of a record that holds member p's flags (see member_flags).
constexpr long flag_byte(int p) { return kMembers.record(p) + 2; }
// Member p's selection rate: its upper bound minus its lower bound plus 1.
constexpr int rate(const unsigned char* record, int p) {
    const unsigned char* entry = record + kMembers.record(p);
    return kHigh.get(entry) - kLow.get(entry) + 1;
}
}  // namespace formation

namespace tech {
inline constexpr common::Field kDerivation = common::flag_field(9, 7);
inline constexpr common::Field kEvade = common::flag_field(9, 6);
}  // namespace tech

}  // namespace mt2::layout
