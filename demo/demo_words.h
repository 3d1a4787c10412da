// The vocabulary the demo games are written with: invented monster families,
// name parts for techniques, items and people. All of it is made up for the
// demo; the strings are readable UTF-8 here and compiled to Shift-JIS.
#pragma once

#include <vector>

namespace demo {

// What a monster is; each game maps it to a race of its own.
enum class Kind {
    Beast, Beastman, Insect, Plant, Aquatic, Fish, Snake, Amphibian,
    Bird, Undead, Demon, Spirit, Golem, Dragon, Giant, Human,
};
constexpr int kKindCount = 16;

struct MonsterFamily {
    const char* stem;  // the family's name; its grades put a word in front
    Kind kind;
    int level;         // level of the weakest grade
    bool flies;
};

using Words = std::vector<const char*>;

// 38 families of eight grades each (304 monsters), then 16 bosses.
extern const std::vector<MonsterFamily> kMonsterFamilies;
extern const Words kGradeWords;  // 8: "" for the first grade
struct BossMonster {
    const char* name;
    Kind kind;
    bool flies;
    bool female;
};
extern const std::vector<BossMonster> kBosses;  // 16
constexpr int kGradesPerFamily = 8;

// Techniques: a modifier in front of a weapon action; monster abilities and
// spells: an element and a form ("火" + "の息").
extern const Words kTechModifiers;  // 16
extern const Words kWeaponActions;  // 8, in the order of kWeaponWords
extern const Words kMiscTechs;      // techniques outside the weapon kinds
extern const Words kElements;       // 16
extern const Words kForms;          // 16
extern const Words kSpellElements;  // 8

// Items: a material and "の" in front of a weapon, armour or shield word;
// other items take a colour word in front.
extern const Words kMaterials;     // 12, weakest first
extern const Words kWeaponWords;   // 8 weapon kinds: sword, greatsword, axe, club, spear, short sword, bow, claw
extern const Words kArmourWords;   // 16
extern const Words kShieldWords;   // 2
extern const Words kOtherItems;    // 12
extern const Words kColours;       // 4: "" for the plain item
extern const Words kBareItems;     // 8: game B's items before the weapons

// People: katakana syllables, and titles for the special characters.
extern const Words kSyllables;
extern const Words kSpecialCharacters;  // 16
extern const Words kFormationWords;     // 16

// The demo scripts that the decoders are shown with.
extern const char* const kScriptA;
extern const char* const kScriptB;

}  // namespace demo
