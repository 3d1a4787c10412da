// The demo image of game A: LoROM, 2 MiB, tables at the game's rom offsets.
#include <algorithm>

#include "games/a/chartables.h"
#include "games/a/demo.h"
#include "demo/game_text.h"
#include "games/a/layout.h"

namespace demo {

namespace {

// The tables at the game's rom offsets.
namespace map = mt2::layout;

constexpr uint32_t kSeed = 0x4D543200;  // "MT2"

// The names behind the fixed technique texts 0 to 10.
const Words kFixedTechNames = {"剣", "大剣", "斧", "棍棒", "槍", "小剣", "弓", "爪", "傷薬", "高級傷薬", "パンチ"};
constexpr int kFirstWeaponTech = 11, kWeaponTechsPerKind = 14, kFirstAbility = 128, kAbilityForms = 8;
constexpr int kFirstArmour = map::kArmourItems.first, kFirstShield = map::kShieldItems.first;
constexpr int kFirstOther = map::kOtherItems.first, kWeaponMaterials = 12;

int cap_byte(int v) { return std::clamp(v, 0, 255); }

const common::CharTables& tables() { return mt2::kCharTables; }

// --- monsters ---------------------------------------------------------------

// Per kind of monster: race, basic attack (a fixed technique) and defences
// (physical, then heat, cold, lightning, status) added to the level's own.
struct KindTraits {
    int race;
    int basic_attack;
    int defence[5];
    int status_resistance;
};
constexpr KindTraits kKinds[kKindCount] = {
    {4, 7, {4, 0, 4, 0, 2}, 0x00},    {5, 0, {6, 2, 2, 2, 4}, 0x00},   // beast, beastman
    {11, 7, {8, -6, -4, 2, 6}, 0x04}, {10, 10, {2, -8, 4, 4, 8}, 0x06},  // insect, plant
    {6, 7, {6, 8, 6, -6, 4}, 0x00},   {6, 7, {2, 8, 4, -8, 2}, 0x00},   // aquatic, fish
    {9, 7, {8, 2, -6, 2, 6}, 0x04},   {8, 10, {4, 4, -4, 0, 8}, 0x06},  // snake, amphibian
    {4, 7, {2, 0, 0, -6, 2}, 0x00},   {2, 10, {6, -10, 8, 4, 20}, 0xC6},  // bird, undead
    {2, 7, {8, 6, 6, 6, 16}, 0x92},   {14, 10, {20, 10, 10, 10, 20}, 0x7E},  // demon, spirit
    {15, 10, {24, 10, 10, -4, 30}, 0xFE}, {7, 7, {20, 12, 12, 12, 16}, 0x94},  // golem, dragon
    {3, 3, {14, 4, 4, 4, 6}, 0x10},   {1, 0, {6, 2, 2, 2, 4}, 0x00},   // giant, human
};

// Bits of a monster record that the tools do not read: bit 7 of the evasion
// byte (set for flying monsters) and the last byte.
constexpr common::Field kFlyingEvasionBit = common::flag_field(21, 7);
constexpr common::Field kLastByte = common::byte_field(31);

void put_monster_stats(uint8_t* r, const MonsterInfo& m, DemoRng& rng) {
    namespace b = map::body;
    namespace f = map::monster;
    const int L = m.level;
    const int hp = m.boss ? rng.around(L * L * 12, 10) : rng.around(12 + L * L * 4 + L * 20, 10);
    const bool caster = m.kind == Kind::Demon || m.kind == Kind::Spirit || m.kind == Kind::Dragon || m.boss;
    b::kFemale.put(r, m.female);
    b::kUndead.put(r, m.kind == Kind::Undead);
    b::kBoss.put(r, m.boss);
    b::kFlying.put(r, m.flies);
    b::kRace.put(r, kKinds[static_cast<int>(m.kind)].race);
    f::kHp.put(r, std::min(hp, 65535));
    f::kTechLevel.put(r, std::min(50, L * 2 / 3 + rng.range(0, 4)));
    f::kSpellLevel.put(r, std::min(40, (caster ? L / 2 : L / 6) + rng.range(0, 3)));
    for (const common::Field& a : f::kAbilities) a.put(r, cap_byte(rng.around(6 + L * 4 / 5, 20)));
    f::kLp.put(r, m.boss ? rng.range(12, 30) : 1 + L / 12);
}

void put_monster_defences(uint8_t* r, const MonsterInfo& m, DemoRng& rng) {
    namespace f = map::monster;
    const KindTraits& k = kKinds[static_cast<int>(m.kind)];
    for (int i = 0; i < 8; ++i) {
        const int extra = i < 4 ? k.defence[0] : k.defence[i - 3];
        f::kDefences[i].put(r, cap_byte(m.level / 2 + extra + rng.range(0, 4)));
    }
    const bool shield = m.kind == Kind::Human || m.boss;
    f::kShieldAttributes.put(r, shield ? 0xF0 | (rng.range(0, 15) & 0x0E) : 0);
    kFlyingEvasionBit.put(r, m.flies);
    f::kEvasion.put(r, std::min(60, rng.range(0, 8) + m.level / 4));
    f::kShieldDefence.put(r, shield ? 4 + m.level / 3 : 0);
    f::kStatusResistances.put(r, m.boss ? 0xFE : k.status_resistance);
}

void put_monster_gear(uint8_t* r, int n, const MonsterInfo& m, DemoRng& rng) {
    namespace f = map::monster;
    const int tier = std::min(kWeaponMaterials - 1, m.level / 5);
    const bool armed = carries_weapons(m.kind);
    f::kWeapons[0].put(r, armed ? (n % 8) * kWeaponMaterials + tier : 254);
    f::kWeapons[1].put(r, armed && rng.chance(30) ? 2 * kWeaponMaterials + tier : 254);
    f::kPatterns[0].put(r, monster_pattern(n, 0));
    f::kPatterns[1].put(r, monster_pattern(n, 1));
    // One random draw per statement, so that every compiler draws in the same order.
    f::kTargets[0].put(r, m.boss && rng.chance(50));  // the emperor
    f::kTargets[1].put(r, rng.chance(25));             // low-HP characters
    f::kTargets[2].put(r, rng.chance(15));             // high-HP characters
    f::kRateIndex.put(r, rng.range(0, 3));
    f::kDrops[0].put(r, rng.chance(60) ? kFirstOther + rng.range(0, map::kOtherItems.count - 1) : 255);
    f::kDrops[1].put(r, rng.chance(35) ? kFirstArmour + rng.range(0, map::kArmourItems.count - 1) : 255);
    kLastByte.put(r, rng.range(0, 255));
}

// Patterns from 187 on share their bytes with the overall level table; the
// monsters use 0 to 183 only.
void put_action_patterns(DemoImage& image, DemoRng& rng) {
    std::array<int, kKindCount> basic{};
    for (int k = 0; k < kKindCount; ++k) basic[static_cast<size_t>(k)] = kKinds[k].basic_attack;
    for (const PatternPlan& p : monster_action_patterns(rng, kAbilityForms, kFirstAbility, basic))
        image.put(map::kActionPatterns.record(p.number), p.actions);
}

void fill_monster(DemoImage& image, DemoBytes& r, int n, const MonsterInfo& m, DemoRng& rng) {
    put_monster_stats(r.data(), m, rng);
    put_monster_defences(r.data(), m, rng);
    put_monster_gear(r.data(), n, m, rng);
    image.put_le16(map::kTechPoints.record(n), static_cast<unsigned>(m.level * 2 + rng.range(0, 5) + (m.boss ? 40 : 0)));
}

void put_monsters(DemoGame& game, DemoRng& rng) {
    put_monster_table(game.image, rng, {map::kMonsterNames, map::kMonsterRecords, fill_monster}, tables());
    put_action_patterns(game.image, rng);
}

// --- characters ---------------------------------------------------------------

int nibbles(int low, int high) { return (high << 4) | low; }

// Two random nibbles, the low one drawn first.
int random_nibbles(DemoRng& rng, int lo, int hi) {
    const int low = rng.range(lo, hi);
    return nibbles(low, rng.range(lo, hi));
}

// 32 classes of eight: a class fixes the weapons and schools its members
// take up; the members differ in their attributes.
DemoBytes character_record(int n, DemoRng& rng) {
    const int cls = n / 8;
    const int weapons = (0x80 >> (cls % 5)) | (cls % 3 == 1 ? 0x80 >> ((cls + 2) % 5) : 0);
    const int magic = cls % 4 ? (0x80 >> (cls % 6)) | (cls % 3 == 2 ? 0x80 >> ((cls + 3) % 6) : 0) : 0;
    DemoBytes r(10);
    r[0] = static_cast<uint8_t>((n % 2 ? 0x80 : 0) | (cls == 31 ? 5 : 1));
    for (int i = 1; i <= 3; ++i) r[i] = static_cast<uint8_t>(random_nibbles(rng, 0, 12));
    r[4] = static_cast<uint8_t>(rng.range(8, 16));
    r[5] = static_cast<uint8_t>(cls % 12);
    r[6] = static_cast<uint8_t>((weapons & 0xF8) | rng.range(0, 7));
    r[7] = static_cast<uint8_t>(magic & 0xFC);
    const int magic_aptitude = magic ? rng.range(6, 13) : 3;
    r[8] = static_cast<uint8_t>(nibbles(magic_aptitude, rng.range(6, 14)));
    r[9] = static_cast<uint8_t>(rng.range(0, 255));
    return r;
}

DemoBytes special_character_record(DemoRng& rng) {
    DemoBytes r(43);
    r[0] = static_cast<uint8_t>((rng.chance(40) ? 0x80 : 0) | 1);
    for (int i = 1; i <= 3; ++i) r[i] = static_cast<uint8_t>(random_nibbles(rng, 4, 15));
    r[4] = static_cast<uint8_t>(rng.range(12, 24));
    r[5] = static_cast<uint8_t>(rng.range(0, 11));
    for (int i = 6; i <= 10; ++i) r[i] = static_cast<uint8_t>(rng.chance(50) ? rng.range(5, 35) : 0);
    for (int i = 11; i <= 16; ++i) r[i] = static_cast<uint8_t>(rng.chance(35) ? rng.range(3, 25) : 0);
    for (int i = 17; i < 43; ++i) r[i] = static_cast<uint8_t>(rng.range(0, 63));
    return r;
}

void put_characters(DemoGame& game, DemoRng& rng) {
    DemoImage& image = game.image;
    put_names(image, map::kCharacterNames, person_names(256, kSeed), tables());
    std::vector<std::string> specials(kSpecialCharacters.begin(), kSpecialCharacters.end());
    put_names(image, map::kSpecialNames, specials, tables());
    for (int n = 0; n < 256; ++n) image.put(map::kCharacterRecords.record(n), character_record(n, rng));
    for (int n = 0; n < 16; ++n) image.put(map::kSpecialRecords.record(n), special_character_record(rng));
    for (int k = 1; k <= 50; ++k) image.put_le16(map::kSkillLevels.record(k - 1), static_cast<unsigned>(10 * k * k + 50 * k));
    for (int k = 1; k <= 39; ++k) image.put_le16(map::kOverallSkillLevels.record(k - 1), static_cast<unsigned>(20 * k * k + 100 * k));
}

// --- items --------------------------------------------------------------------

std::vector<std::string> item_names() {
    std::vector<std::string> names = cross_words_reversed(kWeaponWords, kMaterials, "の");
    const Words armour_materials(kMaterials.begin() + 2, kMaterials.begin() + 10);
    const auto armour = cross_words_reversed(first_words(kArmourWords, 12), armour_materials, "の");
    const auto shields = cross_words_reversed(kShieldWords, armour_materials, "の");
    const auto others = cross_words_reversed(kOtherItems, kColours);
    for (const auto* list : {&armour, &shields, &others}) names.insert(names.end(), list->begin(), list->end());
    return names;
}

DemoBytes weapon_record(int i, DemoRng& rng) {
    const int kind = i / kWeaponMaterials, tier = i % kWeaponMaterials;
    const int tech = kFirstWeaponTech + kind * kWeaponTechsPerKind;
    return {static_cast<uint8_t>(4 + tier * 9 + (kind == 1 ? 8 : kind == 5 ? -2 : 0)),
            static_cast<uint8_t>((rng.range(0, 15) << 4) | std::min(15, 2 + kind % 4 + tier / 3)),
            static_cast<uint8_t>(tier >= 6 ? tech + rng.range(1, 13) : 255),
            static_cast<uint8_t>(tier >= 9 ? tech + rng.range(1, 13) : 255)};
}

DemoBytes armour_record(int i, DemoRng& rng) {
    const int kind = (i - kFirstArmour) / 8, tier = (i - kFirstArmour) % 8;
    const int cover = kind == 1 || kind == 6 ? 3 : kind == 2 || kind == 7 ? 2 : 1;
    DemoBytes r(12);
    for (int d = 0; d < 8; ++d) r[d] = static_cast<uint8_t>(cover * (1 + tier * 2) + rng.range(0, 3) - (d >= 4 ? 1 : 0));
    r[8] = static_cast<uint8_t>(tier >= 4 ? 0x80 >> rng.range(1, 7) : 0);
    r[9] = static_cast<uint8_t>(rng.range(0, 255));
    r[10] = static_cast<uint8_t>(tier >= 5 ? (0x80 >> rng.range(0, 5)) | (tier - 5) : 0);
    r[11] = static_cast<uint8_t>(cover * 3 + tier / 2);
    return r;
}

DemoBytes shield_record(int i, DemoRng& rng) {
    const int kind = (i - kFirstShield) / 8, tier = (i - kFirstShield) % 8;
    const int evasion = 4 + tier * 3 + kind * 6;
    return {static_cast<uint8_t>(tier >= 2 ? 0xF0 | (tier >= 6 ? 0x0E : 0) : 0x80),
            static_cast<uint8_t>((rng.chance(30) ? 0x80 : 0) | (6 + tier * 6 + kind * 8)),
            static_cast<uint8_t>(((evasion / 2) << 3) | (1 + kind * 2 + tier / 4))};
}

int item_price(int i, DemoRng& rng) {
    if (i >= kFirstOther) return 10 * (1 + (i - kFirstOther) / 4) * (1 + (i - kFirstOther) % 4);
    const int tier = i < kFirstArmour ? i % kWeaponMaterials : (i % 8) + 2;
    return std::min(65000, rng.around(40 * (tier + 1) * (tier + 1), 10));
}

int item_display(int i) {
    if (i < kFirstArmour) return 1 + i / kWeaponMaterials;
    if (i < kFirstShield) return 9 + (i - kFirstArmour) / 8;
    return i < kFirstOther ? 21 + (i - kFirstShield) / 8 : 30 + (i - kFirstOther) / 4;
}

void put_item_records(DemoImage& image, DemoRng& rng) {
    long at = map::kItemRecords.offset;
    for (int i = 0; i < kFirstOther; ++i) {
        const DemoBytes r = i < kFirstArmour ? weapon_record(i, rng) : i < kFirstShield ? armour_record(i, rng) : shield_record(i, rng);
        image.put(at, r);
        at += static_cast<long>(r.size());
    }
}

void put_items(DemoGame& game, DemoRng& rng) {
    DemoImage& image = game.image;
    put_names(image, map::kItemNames, item_names(), tables());
    put_item_records(image, rng);
    for (int i = 0; i < 256; ++i) {
        image.put_le16(map::kItemPrices.record(i), static_cast<unsigned>(item_price(i, rng)));
        const int group = i < kFirstArmour ? 0 : i < kFirstShield ? 1 : i < kFirstOther ? 2 : 3;
        image.put(map::kItemAttributes.record(i), {static_cast<uint8_t>(group), static_cast<uint8_t>(i % 16),
                                             static_cast<uint8_t>(item_display(i)), 0, 0, static_cast<uint8_t>(rng.range(0, 3))});
    }
}

// --- techniques ---------------------------------------------------------------

std::vector<std::string> tech_names() {
    std::vector<std::string> names(kFixedTechNames.begin(), kFixedTechNames.end());
    const auto weapon = cross_words_reversed(kWeaponActions, first_words(kTechModifiers, kWeaponTechsPerKind));
    const auto abilities = cross_words(kElements, first_words(kForms, kAbilityForms));
    names.insert(names.end(), weapon.begin(), weapon.end());
    names.insert(names.end(), kMiscTechs.begin(), kMiscTechs.end());
    names.insert(names.end(), abilities.begin(), abilities.end());
    return names;
}

bool is_weapon_tech(int t) { return t >= kFirstWeaponTech && t < kFirstWeaponTech + 8 * kWeaponTechsPerKind; }

void put_tech(DemoImage& image, int t, DemoRng& rng) {
    const int step = is_weapon_tech(t) ? (t - kFirstWeaponTech) % kWeaponTechsPerKind : 0;
    const int kind = is_weapon_tech(t) ? (t - kFirstWeaponTech) / kWeaponTechsPerKind : -1;
    const bool evade = t >= kFirstAbility && rng.chance(40);
    const int derived = step > 0 && rng.chance(70) ? 0x80 : 0;
    const int flags = derived | (evade ? 0x40 : 0) | rng.range(0, 7);
    image.put(map::kTechRecords.record(t), {static_cast<uint8_t>(10 + step * 6), static_cast<uint8_t>(is_weapon_tech(t) ? 1 + step : 0),
                                       static_cast<uint8_t>(rng.range(0, 3)), 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(flags)});
    const unsigned learn = kind < 0 ? 0 : (1u << kind) | (rng.chance(40) ? 1u << (8 + kind) : 0);
    image.put_le16(map::kLearnTypes.record(t), learn);
    const int difficulty = is_weapon_tech(t) ? 5 + step * 4 + rng.range(0, 5) : evade ? rng.range(20, 90) : 0;
    image.put_byte(map::kDifficulties.record(t), static_cast<unsigned>(difficulty));
}

// List 1 shares its 1024-byte window with the difficulty bytes, so it has to
// end within its first 512 bytes; list 2 has room.
void put_techs(DemoGame& game, DemoRng& rng) {
    put_names(game.image, map::kTechNames, tech_names(), tables());
    for (int t = 0; t < 256; ++t) put_tech(game.image, t, rng);
    const auto list1 = weapon_learning_groups(rng, kFirstWeaponTech, 8, kWeaponTechsPerKind, 2);
    const auto list2 = weapon_learning_groups(rng, kFirstAbility, 16, kAbilityForms, 1);
    game.learning = put_learning_lists(game.image, map::kLearningList1.offset, list1, map::kLearningList2.offset, list2);
}

// --- formations ---------------------------------------------------------------

// Five members of (lowest, highest selection value, flags); the game reads
// 16-byte records, so one byte more than the members follows.
DemoBytes formation_record(const Formation& f) {
    namespace fm = map::formation;
    DemoBytes r(static_cast<size_t>(fm::kMembers.size()));
    int low = 0;
    for (int p = 0; p < fm::kMembers.count; ++p) {
        const common::FormationEntry& m = f[static_cast<size_t>(p)];
        fm::kLow.put(r.data() + fm::kMembers.record(p), low);
        fm::kHigh.put(r.data() + fm::kMembers.record(p), low + m.rate - 1);
        common::encode_formation_member(m, r.data() + fm::flag_byte(p));
        low += m.rate;
    }
    return r;
}

const DemoGamePlan kPlan{kGameARomSize, kGameATitle, kGameAMapMode, tables(), kScriptA, kSeed,
                         {map::kFormationNames, map::kFormationRecords, 256, formation_record},
                         {put_monsters, put_characters, put_items, put_techs}};

}  // namespace

void revise_game_a(DemoGame& game) {
    DemoImage& image = game.image;
    image.revise(map::kMonsterRecords.offset + 1, {150, 0});  // monster 0: HP 150
    image.revise(map::kMonsterNames.record(1), name_field(game.monster_names[17], 8, tables()));  // monster 1 renamed
    image.revise(map::kLearningList1.offset + 3, {static_cast<uint8_t>(image.rom()[map::kLearningList1.offset + 3] + 1)});  // harder
    image.revise(0x8000, DemoBytes(16, 0xEA));  // code outside every table: sixteen NOPs
}

}  // namespace demo

namespace mt2 {

demo::DemoGame make_demo() { return demo::build_demo_game(demo::kPlan); }

}  // namespace mt2
