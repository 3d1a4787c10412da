// The ROM map of game B (HiROM, 4 MiB): every table the tools read and every
// stored field of its records. This is the one place that states where game B
// keeps its data.
#pragma once

#include "common/layout.h"

namespace mt3::layout {

// Name tables: fields of game text, padded with blank codes (0x50).
inline constexpr common::TableLayout kFormationNames{"formation names", 0x3D0000, 10, 32};
inline constexpr common::TableLayout kItemNames{"item names", 0x3D0280, 8, 256};
inline constexpr common::TableLayout kMonsterNames{"monster names", 0x3D0A80, 8, 320};
inline constexpr common::TableLayout kCharacterNames{"character names", 0x3D1480, 8, 256};
inline constexpr common::TableLayout kTechNames{"technique names", 0x3D27C0, 10, 512};

// Items 0-7, weapons, shields (4 bytes each) and armour (9 bytes), back to
// back.
inline constexpr common::TableLayout kItemRecords{"item records", 0x3E0000, 1, 96 * 4 + 128 * 9};
inline constexpr common::TableLayout kItemPrices{"item prices", 0x3E9958, 2, 256};
// The parts of the item records: items 0-7, weapons 8-79, shields 80-95,
// armour 96-223.
inline constexpr common::TableLayout kBasicItemRecords{"item records 0-7", kItemRecords.offset, 4, 8};
inline constexpr common::TableLayout kWeaponRecords{"weapon records", kBasicItemRecords.end(), 4, 72};
inline constexpr common::TableLayout kShieldRecords{"shield records", kWeaponRecords.end(), 4, 16};
inline constexpr common::TableLayout kArmourRecords{"armour records", kShieldRecords.end(), 9, 128};
static_assert(kArmourRecords.end() == kItemRecords.end());
// The item kinds by number: items 0-7, weapons, shields and armour (one
// record each, in the tables above), then the other items (no record).
inline constexpr int kItemCount = kItemNames.count;
inline constexpr common::ItemRange kBasicItems{0, kBasicItemRecords.count};
inline constexpr common::ItemRange kWeaponItems{kBasicItems.end(), kWeaponRecords.count};
inline constexpr common::ItemRange kShieldItems{kWeaponItems.end(), kShieldRecords.count};
inline constexpr common::ItemRange kArmourItems{kShieldItems.end(), kArmourRecords.count};
inline constexpr common::ItemRange kOtherItems{kArmourItems.end(), kItemCount - kArmourItems.end()};

// Characters.
inline constexpr common::TableLayout kCharacterRecords{"character records", 0x3E0600, 48, 48};
inline constexpr common::TableLayout kLevelUpRecords{"level-up records", 0x3E31BF, 16, 48};

// Techniques: records of techniques 0-255 (14 bytes), then of 256-511 (16).
inline constexpr common::TableLayout kLowTechRecords{"technique records 0-255", 0x3E0F00, 14, 256};
inline constexpr common::TableLayout kHighTechRecords{"technique records 256-511", kLowTechRecords.end(), 16, 256};
inline constexpr common::TableLayout kLearnTypes{"learn-type words", 0x3E353F, 2, 256};
inline constexpr common::TableLayout kLearningList1{"learning list 1", 0x3E3A4B, 1024, 1};
inline constexpr common::TableLayout kDifficulties{"difficulty bytes", 0x3E3D4B, 1, 256};
inline constexpr common::TableLayout kLearningList2{"learning list 2", 0x3E3F1B, 1024, 1};

// Monsters, formations and encounters.
inline constexpr common::TableLayout kMonsterSizes{"monster sizes", 0x26E400, 1, 320};
inline constexpr common::TableLayout kMonsterRecords{"monster records", 0x3E3F8B, 25, 320};
inline constexpr common::TableLayout kActionPatterns{"action patterns", 0x3E5ECB, 8, 256};
inline constexpr common::TableLayout kDropTable{"drop table", 0x3E678B, 5, 64};
inline constexpr common::TableLayout kFormationRecords{"formation records", 0x3E68CB, 11, 32};
inline constexpr common::TableLayout kEncounterTypes{"encounter types", 0x3E756B, 13, 16};
// 16 groups of 16 rows, each row a (monster, type) byte pair.
inline constexpr common::TableLayout kMainEncounters{"main encounter groups", 0x3E77BB, 32, 16};
inline constexpr common::TableLayout kMainEncounterRows{"main encounter rows", 0, 2, 16};  // within a group
static_assert(kMainEncounterRows.size() == kMainEncounters.record_size);
// 15 types of 48 entries, each a (level, monster) byte pair.
inline constexpr common::TableLayout kSubEncounters{"sub encounter types", 0x3E79BB, 96, 15};
inline constexpr common::TableLayout kSubEncounterEntries{"sub encounter entries", 0, 2, 48};  // within a type
static_assert(kSubEncounterEntries.size() == kSubEncounters.record_size);

// Every table, in rom order.
inline constexpr common::TableLayout kTables[] = {
    kMonsterSizes,     kFormationNames,  kItemNames,      kMonsterNames,   kCharacterNames,
    kTechNames,        kItemRecords,     kCharacterRecords, kLowTechRecords, kHighTechRecords,
    kLevelUpRecords,   kLearnTypes,      kLearningList1,  kDifficulties,   kLearningList2,
    kMonsterRecords,   kActionPatterns,  kDropTable,      kFormationRecords, kEncounterTypes,
    kMainEncounters,   kSubEncounters,   kItemPrices,
};

namespace monster {
inline constexpr common::Field kRace{0, 0, 4};
inline constexpr common::Field kRecovery{1, 0, 3};
// Male, female, undead, unknown, then the water, throw, sound, freeze and
// earth resistances.
inline constexpr common::Field kFlags[9] = {common::flag_field(0, 7), common::flag_field(0, 6), common::flag_field(0, 5),
                                    common::flag_field(0, 4), common::flag_field(1, 3), common::flag_field(1, 4),
                                    common::flag_field(1, 5), common::flag_field(1, 6), common::flag_field(1, 7)};
inline constexpr common::Field kHp = common::word_field(4);
// Strength .. spark level.
inline constexpr common::Field kStats[11] = {common::byte_field(6),  common::byte_field(7),  common::byte_field(8),  common::byte_field(9),
                                     common::byte_field(10), common::byte_field(11), common::byte_field(12), common::byte_field(13),
                                     common::byte_field(14), common::byte_field(15), common::byte_field(16)};
inline constexpr common::Field kPatterns[2] = {common::byte_field(17), common::byte_field(18)};  // action pattern numbers
// Weapon 1, weapon 2, shield, armour 1, armour 2.
inline constexpr common::Field kSlots[5] = {common::byte_field(19), common::byte_field(20), common::byte_field(21), common::byte_field(22),
                                    common::byte_field(23)};
// Set where the monster has a blade in weapon slot 1 or 2.
inline constexpr common::Field kBlades[2] = {common::flag_field(24, 7), common::flag_field(24, 6)};
inline constexpr common::Field kDropEntry{24, 0, 6};  // the record of the drop table
// A monster size byte: width and height in units of 4.
inline constexpr common::Field kWidth{0, 0, 4, 0, 4};
inline constexpr common::Field kHeight{0, 4, 4, 0, 4};
}  // namespace monster

// A formation record: the cumulative selection bounds of members 1-5
// (bytes 0-4), their flag bytes (5-9), one unused byte.
namespace formation {
inline constexpr int kMembers = 5;
inline constexpr common::Field kBounds[kMembers] = {common::byte_field(0), common::byte_field(1), common::byte_field(2), common::byte_field(3),
                                            common::byte_field(4)};
// The byte of a record that holds member p's flags (see member_flags).
constexpr long flag_byte(int p) { return kMembers + p; }
// Member p's selection rate: its bound minus the bound before it.
constexpr int rate(const unsigned char* record, int p) {
    return kBounds[p].get(record) - (p ? kBounds[p - 1].get(record) : 0);
}
}  // namespace formation

// A main encounter row: the monster byte, then the encounter type (a type
// past the type table ends the group). An encounter type: the maximum
// count, then the two factors of the maximum size (the second first).
namespace encounter {
inline constexpr common::Field kMonster = common::byte_field(0);
inline constexpr common::Field kType = common::byte_field(1);
inline constexpr common::Field kMaxCount = common::byte_field(0);
inline constexpr common::Field kSize1 = common::byte_field(2);
inline constexpr common::Field kSize2 = common::byte_field(1);
// A sub encounter entry: the level, then the monster.
inline constexpr common::Field kSubLevel = common::byte_field(0);
inline constexpr common::Field kSubMonster = common::byte_field(1);
}  // namespace encounter

namespace drop {
// 100 %, high, middle, low probability, then the money.
inline constexpr common::Field kDrops[4] = {common::byte_field(0), common::byte_field(1), common::byte_field(2), common::byte_field(3)};
inline constexpr common::Field kMoney = common::byte_field(4);
}  // namespace drop

namespace character {
inline constexpr common::Field kHp{3, 0, 15};
// Strength, dexterity, speed, stamina, magic power, will, charm.
inline constexpr common::Field kStats[7] = {common::byte_field(6), common::byte_field(7),  common::byte_field(8), common::byte_field(9),
                                    common::byte_field(10), common::byte_field(11), common::byte_field(12)};
// Sword, axe, spear, bow, martial arts.
inline constexpr common::Field kWeapons[5] = {{13, 0, 7}, {14, 0, 7}, {15, 0, 7}, {16, 0, 7}, {17, 0, 7}};
// The arts bytes (bits 6..5 the school, bits 4..0 its level; see the
// character decoder).
inline constexpr int kEarthArtsByte = 18;
inline constexpr int kHeavenArtsByte = 19;
inline constexpr common::Field kUnknown{20, 0, 7};
inline constexpr common::Field kType = common::byte_field(21);
inline constexpr common::Field kSparkType = common::byte_field(22);
inline constexpr common::Field kGuardianStar = common::byte_field(40);
inline constexpr common::Field kArts = common::byte_field(41);
inline constexpr common::Field kWeapon = common::byte_field(42);
inline constexpr common::Field kFlags[13] = {common::flag_field(2, 7),  common::flag_field(2, 6),  common::flag_field(2, 5),  common::flag_field(2, 4),
                                     common::flag_field(4, 7),  common::flag_field(13, 7), common::flag_field(14, 7), common::flag_field(15, 7),
                                     common::flag_field(16, 7), common::flag_field(17, 7), common::flag_field(18, 7), common::flag_field(19, 7),
                                     common::flag_field(20, 7)};
// Level-up record: HP, WP, JP, five weapons, six schools of arts.
inline constexpr common::Field kLevelUps[14] = {common::byte_field(15), common::byte_field(13), common::byte_field(14), common::byte_field(0),
                                        common::byte_field(1),  common::byte_field(2),  common::byte_field(3),  common::byte_field(4),
                                        common::byte_field(5),  common::byte_field(6),  common::byte_field(7),  common::byte_field(8),
                                        common::byte_field(9),  common::byte_field(10)};
}  // namespace character

namespace item {
// Weapon and shield records.
inline constexpr common::Field kWeight{0, 0, 3};
inline constexpr common::Field kAttack{1, 0, 7};
inline constexpr common::Field kTechs[2] = {common::byte_field(2), common::byte_field(3)};
inline constexpr common::Field kDefence{1, 0, 7};
inline constexpr common::Field kEvasion{2, 0, 7};
inline constexpr common::Field kAttributes = common::byte_field(3);
// Armour records. A level byte's bits 7..4 select the attributes that get the
// level in its bits 2..0; a bonus is its amount where its flag is set.
inline constexpr common::Field kPhysicalDefence{0, 0, 7};
inline constexpr common::Field kMagicDefence{2, 0, 7};
inline constexpr int kLevelBytes[2] = {1, 3};  // physical, then magic attributes
inline constexpr common::Field kStatuses = common::byte_field(4);
inline constexpr common::Field kResistFlags[5] = {common::flag_field(6, 3), common::flag_field(6, 4), common::flag_field(6, 5), common::flag_field(6, 6),
                                          common::flag_field(6, 7)};
inline constexpr common::Field kBonusFlags[7] = {common::flag_field(7, 7), common::flag_field(7, 6), common::flag_field(7, 5), common::flag_field(7, 4),
                                         common::flag_field(7, 3), common::flag_field(7, 2), common::flag_field(7, 1)};
inline constexpr common::Field kBonusAmount{7, 0, 1, 1};
inline constexpr common::Field kArmourWeight{8, 0, 4};
}  // namespace item

namespace tech {
inline constexpr common::Field kDerivation = common::flag_field(6, 7);  // of a record 0-255
inline constexpr common::Field kEvade = common::flag_field(6, 3);       // of a record 256-511
}  // namespace tech

}  // namespace mt3::layout
