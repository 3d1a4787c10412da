// What mt2import writes of game A through the game's layout: the stored
// fields of monsters and their action patterns, characters, special
// characters, items (the armour bonuses aside), techniques, the learning
// lists, the skill level tables and the formations, and the names of
// monsters, characters, special characters, items, techniques (those the
// image holds) and formations.
#include <iterator>

#include "games/a/chartables.h"
#include "games/a/fields.h"
#include "games/a/game.h"
#include "games/a/layout.h"
#include "games/a/techniques.h"

namespace importer {

namespace {

namespace map = mt2::layout;

namespace k = mt2::fields;

// A member's selection rate is its upper bound minus its lower bound plus 1:
// the upper bound is written, the lower bound kept.
bool encode_rate(uint8_t* record, int member, long rate, long* lo, long* hi) {
    namespace f = map::formation;
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
    const common::TableLayout& patterns = map::kActionPatterns;
    const int pattern = static_cast<int>((offset - patterns.offset) / patterns.record_size);
    for (int n = 0; n < map::kMonsterRecords.count; ++n) {
        const long record = map::kMonsterRecords.record(n);
        if (static_cast<size_t>(record + map::kMonsterRecords.record_size) > size) break;
        for (const common::Field& p : map::monster::kPatterns) {
            if (p.get(rom + record) == pattern) return true;
        }
    }
    return false;
}

std::vector<ReadTable> read_tables() {
    std::vector<ReadTable> read;
    for (const common::TableLayout& t : map::kTables) {
        read.push_back({&t});
        if (t.offset == map::kActionPatterns.offset) read.back().reads = pattern_used;
        if (t.offset == map::kLearningList1.offset) read.back().reads = learning_reads<map::kLearningList1>;
        if (t.offset == map::kLearningList2.offset) read.back().reads = learning_reads<map::kLearningList2>;
    }
    return read;
}

int tech_name_record(int index) { return index < mt2::kFixedTechNames ? -1 : index; }

// The nested rows: action patterns, learning lists, formation members.
void add_nested(std::vector<common::StoredField>& s) {
    s.push_back({"monster-actions", common::shared_keys::kAction, &map::kActionPatterns, common::byte_field(0), false, {}, 0,
                 action_slot<map::kMonsterRecords, map::monster::kPatterns, map::kActionPatterns>});
    add_learning_columns<map::kLearningList1, map::kLearningList2>(s);
    const common::TableLayout* formations = &map::kFormationRecords;
    s.push_back({"formation-members", common::shared_keys::kRate, formations, map::formation::kHigh, false, {}, 0,
                 formation_record<map::kFormationRecords>, -1, encode_rate});
    add_member_flag_columns(
        s, formations,
        member_flags_at<map::kFormationRecords, map::formation::flag_byte>);
}

std::vector<common::StoredField> stored() {
    std::vector<common::StoredField> s = k::stored_fields();
    add_nested(s);
    return s;
}

std::vector<common::ComputedField> computed() { return k::computed_fields(kLearningCount); }

}  // namespace

}  // namespace importer

namespace mt2 {

const importer::ImportLayout& import_layout() {
    static const importer::ImportLayout kLayout{
        importer::stored(),
        {{"monsters", &layout::kMonsterNames},
         {"items", &layout::kItemNames},
         {"characters", &layout::kCharacterNames},
         {"special-characters", &layout::kSpecialNames},
         {"techniques", &layout::kTechNames, importer::tech_name_record},
         {"formations", &layout::kFormationNames}},
        importer::computed(),
        importer::read_tables(),
        kCharTables,
    };
    return kLayout;
}

}  // namespace mt2
