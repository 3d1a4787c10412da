// What mt2import writes of game A through the game's layout: the stored
// fields of monsters and their action patterns, characters, special
// characters, items (the armour bonuses aside), techniques, the learning
// lists, the skill level tables and the formations, and the names of
// monsters, characters, special characters, items, techniques (those the
// image holds) and formations.
#include <iterator>

#include "games/a/chartables.h"
#include "games/a/fields.h"
#include "games/a/formations.h"
#include "games/a/game.h"
#include "games/a/layout.h"
#include "games/a/techniques.h"
#include "import/game_layout.h"

namespace mt2 {

namespace {

// A member's selection rate is its upper bound minus its lower bound plus 1:
// the upper bound is written, the lower bound kept.
bool encode_rate(uint8_t* record, int member, long rate, long* lo, long* hi) {
    namespace f = layout::formation;
    uint8_t* entry = record + f::kMembers.record(member);
    const long low = f::kLow.get(entry);
    *lo = 1 - low;
    *hi = f::kHigh.max() + 1 - low;
    if (rate < *lo || rate > *hi) return false;
    f::kHigh.put(entry, low + rate - 1);
    return true;
}

// The action patterns lie before the overall skill level table and run into
// it: the game reads a pattern's bytes only where a monster uses the
// pattern.
bool pattern_used(const uint8_t* rom, size_t size, long offset) {
    const common::TableLayout& patterns = layout::kActionPatterns;
    const int pattern = static_cast<int>((offset - patterns.offset) / patterns.record_size);
    for (int n = 0; n < layout::kMonsterRecords.count; ++n) {
        const long record = layout::kMonsterRecords.record(n);
        if (static_cast<size_t>(record + layout::kMonsterRecords.record_size) > size) break;
        for (const common::Field& p : layout::monster::kPatterns) {
            if (p.get(rom + record) == pattern) return true;
        }
    }
    return false;
}

int tech_name_record(int index) { return index < kFixedTechNames ? -1 : index; }

constexpr importer::FoundTables kFound = MT_FOUND_TABLES(mt2);

}  // namespace

const importer::ImportLayout& import_layout() {
    static const importer::ImportLayout kLayout = importer::import_layout_of<kFound>({
        .stored = fields::stored_fields,
        .action = common::byte_field(0),
        .rate = layout::formation::kHigh,
        .encode_rate = encode_rate,
        .computed = fields::computed_fields,
        .tables = layout::kTables,
        .read_in_part = {{&layout::kActionPatterns, pattern_used}},
        .names = {{"monsters", &layout::kMonsterNames},
                  {"characters", &layout::kCharacterNames},
                  {"special-characters", &layout::kSpecialNames},
                  {"items", &layout::kItemNames},
                  {"techniques", &layout::kTechNames, tech_name_record},
                  {"formations", &layout::kFormationNames}},
        .chars = kCharTables,
    });
    return kLayout;
}

}  // namespace mt2
