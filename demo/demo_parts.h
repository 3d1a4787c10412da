// Pieces that both demo games are built from: a fixed-seed random source,
// name lists, the monster roster, learning lists and formations.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/chartables.h"
#include "common/formations.h"
#include "common/layout.h"
#include "demo/demo_image.h"
#include "demo/demo_words.h"

namespace demo {

// xorshift32: the same numbers on every machine and library, so the demo
// images come out byte for byte the same everywhere.
class DemoRng {
public:
    explicit DemoRng(uint32_t seed) : state_(seed ? seed : 1) {}
    uint32_t next();
    int range(int lo, int hi);  // lo..hi, both included
    bool chance(int percent);
    int around(int value, int percent);  // value give or take percent %, never below 0

private:
    uint32_t state_;
};

// Every outer word joined with every inner word, the outer words varying
// slowest: outer + joiner + inner, or for cross_words_reversed inner +
// joiner + outer ("鉄" "の" "剣" from the kind "剣" and the material "鉄").
std::vector<std::string> cross_words(const Words& outer, const Words& inner, const char* joiner = "");
std::vector<std::string> cross_words_reversed(const Words& outer, const Words& inner, const char* joiner = "");
// The first count words of a list.
Words first_words(const Words& words, size_t count);
// Distinct katakana names of two to four syllables.
std::vector<std::string> person_names(size_t count, uint32_t seed);
// The fixed-length name fields of a name table, one a record; names past the
// end of the list are left blank.
void put_names(DemoImage& image, const common::TableLayout& table, const std::vector<std::string>& names,
               const common::CharTables& tables);

// The 320 monsters: eight grades of each family, then the bosses.
constexpr int kDemoMonsterCount = 320;
struct MonsterInfo {
    Kind kind;
    int level;  // 1 to 60
    bool boss;
    bool flies;
    bool female;
    int family;  // -1 for a boss
};
MonsterInfo monster_info(int number);
// Whether monsters of a kind carry weapons of the game's items.
inline bool carries_weapons(Kind k) { return k == Kind::Human || k == Kind::Beastman || k == Kind::Giant; }
std::vector<std::string> monster_names();
// The monster name table, then one record per monster that fill builds (and
// with it anything else a game keeps per monster).
using MonsterFiller = void (*)(DemoImage& image, DemoBytes& record, int number, const MonsterInfo& m, DemoRng& rng);
struct MonsterTable {
    const common::TableLayout& names;
    const common::TableLayout& records;
    MonsterFiller fill;
};
void put_monster_table(DemoImage& image, DemoRng& rng, const MonsterTable& table, const common::CharTables& tables);
// Four abilities of a monster's family (or of a boss), each an element and a
// form, numbered element * form_count + form.
std::array<int, 4> monster_abilities(int number, int form_count);
// The numbers of a monster's two action patterns (which 0 or 1): four per
// family (0-151), the lower grades sharing the milder ones, and two per boss
// (152-183).
int monster_pattern(int number, int which);
// Every action pattern the monsters use, once: eight technique numbers, the
// kind's basic attack and, the fiercer the pattern, more of the abilities
// (ability_base + element * form_count + form).
struct PatternPlan {
    int number;
    DemoBytes actions;
};
std::vector<PatternPlan> monster_action_patterns(DemoRng& rng, int form_count, int ability_base,
                                                 const std::array<int, kKindCount>& basic_attack);

// A learning list as the games store it: per group the key technique, the
// number of entries and the (technique, difficulty) pairs; 0xFF ends it.
struct LearnGroupPlan {
    int key;
    std::vector<std::pair<int, int>> entries;
};
DemoBytes learning_list_bytes(const std::vector<LearnGroupPlan>& groups);
// Writes learning list 1 and 2 at their rom offsets; returns the groups of
// both, list 1 first.
std::vector<LearnGroupPlan> put_learning_lists(DemoImage& image, long list1_offset, const std::vector<LearnGroupPlan>& list1,
                                               long list2_offset, const std::vector<LearnGroupPlan>& list2);
// Groups over techniques laid out kind by kind (per_kind of them from first
// on): each key is one technique of a kind, its entries later ones of the
// same kind, harder the further they lie.
std::vector<LearnGroupPlan> weapon_learning_groups(DemoRng& rng, int first, int kinds, int per_kind,
                                                   int groups_per_kind);

// A battle formation: five members, each with its share of the selection
// range (rate) and its defence and attack flags and signed speed.
using Formation = std::array<common::FormationEntry, common::kFormationMembers>;
Formation make_formation(DemoRng& rng, int total);  // shares add up to total

// A formation table: its names (from kFormationWords) and as many records,
// each the game's encoding of a formation whose shares add up to total,
// followed by one byte the games do not report.
struct FormationTable {
    const common::TableLayout& names;
    const common::TableLayout& records;
    int total;
    DemoBytes (*encode)(const Formation& formation);
};
void put_formation_table(DemoImage& image, DemoRng& rng, const FormationTable& table, const common::CharTables& tables);

}  // namespace demo
