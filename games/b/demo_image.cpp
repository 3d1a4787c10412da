// The demo image of game B: HiROM, 4 MiB, tables at the game's rom offsets.
#include <algorithm>

#include "games/b/chartables.h"
#include "games/b/demo.h"
#include "demo/game_text.h"
#include "games/b/layout.h"

namespace demo {

namespace {

// The tables at the game's rom offsets.
namespace map = mt3::layout;

constexpr uint32_t kSeed = 0x4D543300;  // "MT3"

constexpr int kFirstWeapon = map::kWeaponItems.first, kFirstShield = map::kShieldItems.first;
constexpr int kFirstArmour = map::kArmourItems.first, kFirstOther = map::kOtherItems.first, kWeaponMaterials = 9;
constexpr int kFirstSpell = 128, kFirstMonsterTech = 256, kTechsPerKind = 16;
constexpr int kBloodElement = 15;  // "血": the element of the basic bites and claws

const common::CharTables& tables() { return mt3::kCharTables; }

int cap(int v, int limit) { return std::clamp(v, 0, limit); }

// --- monsters ---------------------------------------------------------------

// Per kind of monster: race, natural weapon (items 0-7), resistance flags
// (byte 1, bits 7-3), recovery type, armour word worn and body size (in
// units of four dots).
struct KindTraits {
    int race;
    int natural_weapon;
    int resistances;
    int recovery;
    int armour_kind;
    int size;
};
constexpr KindTraits kKinds[kKindCount] = {
    {2, 2, 0x00, 3, 3, 6},  {1, 0, 0x10, 3, 7, 6},  {7, 6, 0x40, 4, 3, 5},  {8, 7, 0x40, 5, 15, 6},  // beast .. plant
    {11, 6, 0x08, 2, 3, 6}, {10, 2, 0x08, 2, 3, 7}, {3, 2, 0x80, 4, 3, 7},  {5, 1, 0x08, 1, 3, 5},  // aquatic .. amphibian
    {6, 5, 0x00, 6, 2, 6},  {14, 0, 0x20, 7, 15, 6}, {13, 4, 0x30, 7, 2, 7}, {12, 7, 0xF8, 5, 15, 4},  // bird .. spirit
    {9, 0, 0xD8, 4, 6, 8},  {4, 2, 0x98, 1, 6, 12}, {15, 0, 0x90, 3, 7, 12}, {0, 0, 0x00, 0, 1, 6},  // golem .. human
};

int armour_item(const MonsterInfo& m, int word) { return kFirstArmour + word * 8 + std::min(7, m.level / 7); }

// A byte of a monster record that the tools do not read.
constexpr common::Field kUnreadByte = common::byte_field(2);

void put_monster_stats(uint8_t* r, int n, const MonsterInfo& m, DemoRng& rng) {
    namespace f = map::monster;
    const KindTraits& k = kKinds[static_cast<int>(m.kind)];
    const int L = m.level;
    const int hp = std::min(65535, m.boss ? rng.around(L * L * 14, 10) : rng.around(10 + L * L * 5 + L * 15, 10));
    const bool male = !m.female && (m.kind == Kind::Human || m.kind == Kind::Giant || m.kind == Kind::Beastman);
    f::kFlags[0].put(r, male);
    f::kFlags[1].put(r, m.female);
    f::kFlags[2].put(r, m.kind == Kind::Undead);
    f::kFlags[3].put(r, m.kind == Kind::Spirit);
    f::kRace.put(r, k.race);
    for (int i = 4; i < 9; ++i) f::kFlags[i].put(r, (k.resistances & f::kFlags[i].mask()) != 0);
    f::kRecovery.put(r, k.recovery);
    kUnreadByte.put(r, rng.range(0, 255));
    f::kHp.put(r, hp);
    for (int i = 0; i < 7; ++i) f::kStats[i].put(r, cap(rng.around(6 + L * 4 / 5, 20), 99));
    for (int i = 7; i < 11; ++i) f::kStats[i].put(r, cap(L * 2 / 3 + rng.range(0, 5) - (i - 7) * 3, 50));
    f::kPatterns[0].put(r, monster_pattern(n, 0));
    f::kPatterns[1].put(r, monster_pattern(n, 1));
}

void put_monster_gear(uint8_t* r, int n, const MonsterInfo& m, DemoRng& rng) {
    namespace f = map::monster;
    const KindTraits& k = kKinds[static_cast<int>(m.kind)];
    const bool armed = carries_weapons(m.kind) || m.boss;
    const int tier = std::min(kWeaponMaterials - 1, m.level / 7);
    f::kSlots[0].put(r, armed ? kFirstWeapon + (n % 8) * kWeaponMaterials + tier : k.natural_weapon);
    f::kSlots[1].put(r, armed && rng.chance(30) ? kFirstWeapon + 5 * kWeaponMaterials + tier : 255);
    f::kSlots[2].put(r, m.kind == Kind::Human || m.boss ? kFirstShield + std::min(15, m.level / 4) : 255);
    f::kSlots[3].put(r, armour_item(m, k.armour_kind));
    f::kSlots[4].put(r, m.level > 20 ? armour_item(m, m.boss ? 10 : 9) : 255);
    for (const common::Field& blade : f::kBlades) blade.put(r, armed);
    f::kDropEntry.put(r, (n * 5 + m.level) % 64);
}

// Drop entries: what every monster of an entry leaves, and its money.
DemoBytes drop_entry(int e, DemoRng& rng) {
    const auto other = [&] { return static_cast<uint8_t>(kFirstOther + rng.range(0, 31)); };
    return {static_cast<uint8_t>(e % 5 == 0 ? 253 : 255), rng.chance(60) ? other() : uint8_t{255},
            static_cast<uint8_t>(e % 3 == 0 ? 254 : kFirstArmour + rng.range(0, map::kArmourItems.count - 1)), rng.chance(30) ? other() : uint8_t{255},
            static_cast<uint8_t>(std::min(255, 5 + e * 4))};
}

void put_monster_tables(DemoImage& image, DemoRng& rng) {
    std::array<int, kKindCount> basic{};
    for (int k = 0; k < kKindCount; ++k)
        basic[static_cast<size_t>(k)] = kBloodElement * kTechsPerKind + (kKinds[k].natural_weapon == 1 ? 2 : 1);
    for (const PatternPlan& p : monster_action_patterns(rng, kTechsPerKind, 0, basic))
        image.put(map::kActionPatterns.record(p.number), p.actions);
    for (int e = 0; e < 64; ++e) image.put(map::kDropTable.record(e), drop_entry(e, rng));
}

void fill_monster(DemoImage& image, DemoBytes& r, int n, const MonsterInfo& m, DemoRng& rng) {
    put_monster_stats(r.data(), n, m, rng);
    put_monster_gear(r.data(), n, m, rng);
    const int size = m.boss ? 14 : kKinds[static_cast<int>(m.kind)].size + n % 3;
    DemoBytes sizes(1);  // in units of four dots
    map::monster::kWidth.put(sizes.data(), 4 * std::min(15, size));
    map::monster::kHeight.put(sizes.data(), 4 * std::min(15, size + 1));
    image.put(map::kMonsterSizes.record(n), sizes);
}

void put_monsters(DemoGame& game, DemoRng& rng) {
    put_monster_table(game.image, rng, {map::kMonsterNames, map::kMonsterRecords, fill_monster}, tables());
    put_monster_tables(game.image, rng);
}

// --- encounters ---------------------------------------------------------------

// The kind of monster that each of the sixteen encounter groups gathers.
constexpr Kind kGroupKinds[16] = {
    Kind::Undead, Kind::Demon, Kind::Beast, Kind::Fish, Kind::Beastman, Kind::Plant, Kind::Aquatic, Kind::Spirit,
    Kind::Undead, Kind::Amphibian, Kind::Snake, Kind::Golem, Kind::Insect, Kind::Bird, Kind::Undead, Kind::Spirit,
};
constexpr int kEncounterFamilies = 32;  // encounter tables name monsters 0-255

std::vector<int> families_of(Kind kind) {
    std::vector<int> out;
    for (int f = 0; f < kEncounterFamilies; ++f)
        if (kMonsterFamilies[static_cast<size_t>(f)].kind == kind) out.push_back(f);
    return out;
}

void put_encounters(DemoGame& game, DemoRng& rng) {
    DemoImage& image = game.image;
    for (int t = 0; t < 16; ++t) {
        DemoBytes r = {static_cast<uint8_t>(std::max(1, 6 - t / 3)), static_cast<uint8_t>(2 + t % 4), static_cast<uint8_t>(2 + t / 4)};
        for (int i = 3; i < 13; ++i) r.push_back(static_cast<uint8_t>(rng.range(0, 31)));
        image.put(map::kEncounterTypes.record(t), r);
    }
    for (int g = 0; g < 16; ++g) {
        const std::vector<int> families = families_of(kGroupKinds[g]);
        DemoBytes r;
        for (int row = 0; row < 16; ++row) {
            const int family = families[static_cast<size_t>(row) % families.size()];
            r.push_back(static_cast<uint8_t>(family * kGradesPerFamily + std::min(7, row / 2)));
            r.push_back(static_cast<uint8_t>((row + g) % 16));
        }
        image.put(map::kMainEncounters.record(g), r);
    }
    for (int t = 0; t < 15; ++t) {
        DemoBytes r;
        for (int e = 0; e < 48; ++e) {
            r.push_back(static_cast<uint8_t>(4 + e * 5));
            r.push_back(static_cast<uint8_t>(rng.range(0, kEncounterFamilies - 1) * kGradesPerFamily + std::min(7, e / 6)));
        }
        image.put(map::kSubEncounters.record(t), r);
    }
}

// --- characters ---------------------------------------------------------------

constexpr int kCharacterCount = 48, kNamedCharacters = 41;

DemoBytes character_record(int n, DemoRng& rng) {
    DemoBytes r(48);
    const int weapon = n % 9, arts = n % 5;
    const int hp = rng.range(120, 480);
    r[2] = static_cast<uint8_t>((n % 3 == 1 ? 0x40 : 0x80) | rng.range(0, 15));
    r[3] = static_cast<uint8_t>(hp & 0xFF);
    r[4] = static_cast<uint8_t>((hp >> 8) | (n % 4 == 0 ? 0x80 : 0));
    for (int i = 6; i <= 12; ++i) r[i] = static_cast<uint8_t>(rng.range(8, 30));
    for (int i = 13; i <= 17; ++i) r[i] = static_cast<uint8_t>(((i - 13) == weapon % 5 ? 0x80 : 0) | rng.range(0, 16));
    const int earth = arts == 2 ? 0 : arts > 2 ? arts - 1 : arts;  // arts 0, 1, 3, 4: the four earth schools
    r[18] = static_cast<uint8_t>((arts != 2 ? 0x80 : 0) | (earth << 5) | rng.range(0, 12));
    // One random draw per statement, so that every compiler draws in the same order.
    const int heaven_school = rng.range(0, 2) << 5;
    r[19] = static_cast<uint8_t>((arts == 2 ? 0x80 : 0) | heaven_school | rng.range(0, 8));
    const int unknown_flag = rng.chance(10) ? 0x80 : 0;
    r[20] = static_cast<uint8_t>(unknown_flag | rng.range(0, 9));
    r[21] = static_cast<uint8_t>(n % 8);
    r[22] = static_cast<uint8_t>(rng.range(0, 11));
    r[40] = static_cast<uint8_t>(n % 5);
    r[41] = static_cast<uint8_t>(arts);
    r[42] = static_cast<uint8_t>(weapon);
    return r;
}

DemoBytes level_up_record(DemoRng& rng) {
    DemoBytes r(16);
    for (int i = 0; i <= 12; ++i) r[i] = static_cast<uint8_t>(rng.range(0, 5));
    r[13] = static_cast<uint8_t>(rng.range(1, 5));
    r[14] = static_cast<uint8_t>(rng.range(0, 5));
    r[15] = static_cast<uint8_t>(rng.range(2, 10));
    return r;
}

void put_characters(DemoGame& game, DemoRng& rng) {
    DemoImage& image = game.image;
    put_names(image, map::kCharacterNames, person_names(kNamedCharacters, kSeed), tables());
    for (int n = 0; n < kCharacterCount; ++n) {
        image.put(map::kCharacterRecords.record(n), character_record(n, rng));
        image.put(map::kLevelUpRecords.record(n), level_up_record(rng));
    }
}

// --- items --------------------------------------------------------------------

std::vector<std::string> item_names() {
    std::vector<std::string> names(kBareItems.begin(), kBareItems.end());
    const Words weapon_materials(kMaterials.begin() + 3, kMaterials.end());
    const Words materials(kMaterials.begin() + 2, kMaterials.begin() + 10);
    const auto weapons = cross_words_reversed(kWeaponWords, weapon_materials, "の");
    const auto shields = cross_words_reversed(kShieldWords, materials, "の");
    const auto armour = cross_words_reversed(kArmourWords, materials, "の");
    const auto others = cross_words_reversed(first_words(kOtherItems, 8), kColours);
    for (const auto* list : {&weapons, &shields, &armour, &others}) names.insert(names.end(), list->begin(), list->end());
    return names;
}

DemoBytes weapon_record(int i, DemoRng& rng) {
    const int kind = (i - kFirstWeapon) / kWeaponMaterials, tier = (i - kFirstWeapon) % kWeaponMaterials;
    return {static_cast<uint8_t>((rng.range(0, 31) << 3) | std::min(7, 1 + kind % 4 + tier / 4)),
            static_cast<uint8_t>((rng.chance(20) ? 0x80 : 0) | (8 + tier * 10 + (kind == 1 ? 6 : 0))),
            static_cast<uint8_t>(tier >= 4 ? kind * kTechsPerKind + rng.range(1, 15) : 255),
            static_cast<uint8_t>(tier >= 7 ? kind * kTechsPerKind + rng.range(1, 15) : 255)};
}

DemoBytes shield_record(int i, DemoRng& rng) {
    const int kind = (i - kFirstShield) / 8, tier = (i - kFirstShield) % 8;
    return {static_cast<uint8_t>(1 + kind * 2 + tier / 4), static_cast<uint8_t>(5 + tier * 5 + kind * 6),
            static_cast<uint8_t>(10 + tier * 4 + rng.range(0, 3)), static_cast<uint8_t>(tier >= 2 ? 0xF0 | (tier >= 6 ? 0x0E : 0) : 0xC0)};
}

DemoBytes armour_record(int i, DemoRng& rng) {
    const int kind = (i - kFirstArmour) / 8, tier = (i - kFirstArmour) % 8;
    const int level = tier < 2 ? 0 : 2 + tier % 4;
    DemoBytes r(9);
    r[0] = static_cast<uint8_t>(2 + tier * 4 + (kind == 1 || kind == 6 ? 6 : 0));
    r[1] = static_cast<uint8_t>((level ? 0x80 >> (kind % 4) : 0) | level);
    r[2] = static_cast<uint8_t>(1 + tier * 3 + (kind == 2 || kind == 15 ? 5 : 0));
    r[3] = static_cast<uint8_t>((tier >= 5 ? 0xF0 & (0xF0 >> (tier - 5)) : 0) | (tier >= 5 ? tier - 2 : 0));
    r[4] = static_cast<uint8_t>(tier >= 4 ? 0x80 >> rng.range(1, 7) : 0);
    r[5] = static_cast<uint8_t>(rng.range(0, 255));
    const int resistance = tier >= 6 ? 0x08 << rng.range(0, 4) : 0;
    r[6] = static_cast<uint8_t>(resistance | rng.range(0, 7));
    r[7] = static_cast<uint8_t>(tier >= 5 ? (0x80 >> rng.range(0, 6)) | (tier - 5) % 2 : 0);
    r[8] = static_cast<uint8_t>((rng.range(0, 15) << 4) | (1 + kind % 5 + tier / 3));
    return r;
}

int item_price(int i, DemoRng& rng) {
    if (i < kFirstWeapon) return 0;
    if (i >= kFirstOther) return 15 * (1 + (i - kFirstOther) / 4) * (1 + (i - kFirstOther) % 4);
    const int tier = i < kFirstShield ? (i - kFirstWeapon) % kWeaponMaterials : i % 8;
    return std::min(65000, rng.around(60 * (tier + 1) * (tier + 1), 10));
}

void put_items(DemoGame& game, DemoRng& rng) {
    DemoImage& image = game.image;
    put_names(image, map::kItemNames, item_names(), tables());
    long at = map::kItemRecords.offset;
    for (int i = 0; i < kFirstOther; ++i) {
        const DemoBytes r = i < kFirstWeapon ? DemoBytes{static_cast<uint8_t>(i), 0x10, 0xFF, 0xFF}
                            : i < kFirstShield ? weapon_record(i, rng)
                            : i < kFirstArmour ? shield_record(i, rng)
                                               : armour_record(i, rng);
        image.put(at, r);
        at += static_cast<long>(r.size());
    }
    for (int i = 0; i < 256; ++i) image.put_le16(map::kItemPrices.record(i), static_cast<unsigned>(item_price(i, rng)));
}

// --- techniques ---------------------------------------------------------------

std::vector<std::string> tech_names() {
    std::vector<std::string> names = cross_words_reversed(kWeaponActions, kTechModifiers);
    const auto spells = cross_words(kSpellElements, kForms);
    const auto monster = cross_words(kElements, kForms);
    names.insert(names.end(), spells.begin(), spells.end());
    names.insert(names.end(), monster.begin(), monster.end());
    return names;
}

void put_tech_records(DemoImage& image, DemoRng& rng) {
    long at = map::kLowTechRecords.offset;
    for (int t = 0; t < kFirstMonsterTech; ++t, at += 14) {
        const int step = t % kTechsPerKind;
        DemoBytes r(14);
        r[0] = static_cast<uint8_t>(10 + step * 5);
        r[1] = static_cast<uint8_t>(1 + step / 2);
        const int derived = step > 0 && rng.chance(70) ? 0x80 : 0;
        r[6] = static_cast<uint8_t>(derived | rng.range(0, 15));
        image.put(at, r);
        const unsigned group = 1u << (t < kFirstSpell ? t / kTechsPerKind : 8 + (t - kFirstSpell) / kTechsPerKind);
        image.put_le16(map::kLearnTypes.record(t), group | (rng.chance(25) ? 1u << rng.range(0, 15) : 0));
    }
    for (int t = kFirstMonsterTech; t < 512; ++t, at += 16) {
        const bool evade = rng.chance(35);
        DemoBytes r(16);
        r[0] = static_cast<uint8_t>(8 + (t % kTechsPerKind) * 4);
        r[6] = static_cast<uint8_t>((evade ? 0x08 : 0) | (rng.range(0, 15) & 0xF7));
        image.put(at, r);
        image.put_byte(map::kDifficulties.record(t - kFirstMonsterTech), static_cast<unsigned>(evade ? rng.range(15, 95) : 0));
    }
}

// List 1 shares its window with the difficulty bytes (768 bytes are free),
// list 2 with the monster records (112 bytes are free).
void put_techs(DemoGame& game, DemoRng& rng) {
    put_names(game.image, map::kTechNames, tech_names(), tables());
    put_tech_records(game.image, rng);
    const auto list1 = weapon_learning_groups(rng, 0, 8, kTechsPerKind, 2);
    const auto list2 = weapon_learning_groups(rng, kFirstSpell, 8, kTechsPerKind, 1);
    game.learning = put_learning_lists(game.image, map::kLearningList1.offset, list1, map::kLearningList2.offset, list2);
}

// --- formations ---------------------------------------------------------------

// The five cumulative selection bounds (the last one 255), then the five
// flag bytes.
DemoBytes formation_record(const Formation& f) {
    namespace fm = map::formation;
    DemoBytes r(static_cast<size_t>(fm::flag_byte(fm::kMembers)));
    int bound = 0;
    for (int p = 0; p < fm::kMembers; ++p) {
        fm::kBounds[p].put(r.data(), bound += f[static_cast<size_t>(p)].rate);
        common::encode_formation_member(f[static_cast<size_t>(p)], r.data() + fm::flag_byte(p));
    }
    return r;
}

const DemoGamePlan kPlan{kGameBRomSize, kGameBTitle, kGameBMapMode, tables(), kScriptB, kSeed,
                         {map::kFormationNames, map::kFormationRecords, 255, formation_record},
                         {put_monsters, put_encounters, put_characters, put_items, put_techs}};

}  // namespace

}  // namespace demo

namespace mt3 {

demo::DemoGame make_demo() { return demo::build_demo_game(demo::kPlan); }

}  // namespace mt3
