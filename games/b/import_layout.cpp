// What mt3import writes of game B through the game's layout: the stored
// fields of monsters (with their drop table entries) and their action
// patterns, the encounter tables, characters, items (armour levels and
// bonuses aside), techniques, the learning lists and the formations, and the
// names of monsters, characters, items, techniques and formations.
#include <algorithm>

#include "games/b/characters.h"
#include "games/b/chartables.h"
#include "games/b/fields.h"
#include "games/b/game.h"
#include "games/b/layout.h"

namespace importer {

namespace {

namespace map = mt3::layout;

namespace k = mt3::fields;

// The selection rates are differences of cumulative bounds: a member's new
// rate moves its bound and every later one by the same amount, so that the
// other members keep their rates.
bool encode_rate(uint8_t* record, int member, long rate, long* lo, long* hi) {
    namespace f = map::formation;
    const long now = f::rate(record, member);
    long least = f::kBounds[member].max(), most = 0;
    for (int b = member; b < f::kMembers; ++b) {
        least = std::min<long>(least, f::kBounds[b].get(record));
        most = std::max<long>(most, f::kBounds[b].get(record));
    }
    *lo = now - least;
    *hi = now + f::kBounds[member].max() - most;
    if (rate < *lo || rate > *hi) return false;
    for (int b = member; b < f::kMembers; ++b) f::kBounds[b].put(record, f::kBounds[b].get(record) + rate - now);
    return true;
}

// A monster's drop table entry, which monsters may share.
long drop_entry(const uint8_t* rom, size_t size, int, int monster) {
    const long record = map::kMonsterRecords.record(monster);
    if (monster < 0 || static_cast<size_t>(record + map::kMonsterRecords.record_size) > size) return -1;
    return map::kDropTable.record(map::monster::kDropEntry.get(rom + record));
}

// A main encounter row, and the encounter type it names (which rows share).
long main_row(const uint8_t*, size_t, int group, int row) {
    return group >= 0 && group < map::kMainEncounters.count
               ? map::kMainEncounters.record(group) + map::kMainEncounterRows.record(row)
               : -1;
}
long encounter_type(const uint8_t* rom, size_t size, int group, int row) {
    const long at = main_row(rom, size, group, row);
    if (at < 0 || static_cast<size_t>(at + map::kMainEncounterRows.record_size) > size) return -1;
    const int type = map::encounter::kType.get(rom + at);
    return type < map::kEncounterTypes.count ? map::kEncounterTypes.record(type) : -1;
}
long sub_entry(const uint8_t*, size_t, int type, int entry) {
    return type >= 0 && type < map::kSubEncounters.count
               ? map::kSubEncounters.record(type) + map::kSubEncounterEntries.record(entry)
               : -1;
}

std::vector<ReadTable> read_tables() {
    std::vector<ReadTable> read;
    for (const common::TableLayout& t : map::kTables) {
        read.push_back({&t});
        if (t.offset == map::kLearningList1.offset) read.back().reads = learning_reads<map::kLearningList1>;
        if (t.offset == map::kLearningList2.offset) read.back().reads = learning_reads<map::kLearningList2>;
    }
    return read;
}

// The nested rows and the records found through the image: drop table
// entries, action patterns (techniques 256-511), learning lists, formation
// members, encounter rows.
void add_found(std::vector<common::StoredField>& s) {
    // Drop codes 253 and 254 stand for what the monster carries in weapon
    // slot 1 or 2, so items 253 and 254 cannot be written as drops.
    for (int d = 0; d < 4; ++d) {
        s.push_back({"monsters", k::kDrops[d], &map::kDropTable, map::drop::kDrops[d], false, {}, 0, drop_entry, 252});
    }
    s.push_back({"monsters", k::kMoney, &map::kDropTable, map::drop::kMoney, false, {}, 0, drop_entry});
    s.push_back({"monster-actions", common::shared_keys::kAction, &map::kActionPatterns, {0, 0, 8, 256}, false, {}, 0,
                 action_slot<map::kMonsterRecords, map::monster::kPatterns, map::kActionPatterns>});
    add_learning_columns<map::kLearningList1, map::kLearningList2>(s);
    const common::TableLayout* formations = &map::kFormationRecords;
    s.push_back({"formation-members", common::shared_keys::kRate, formations, common::byte_field(0), false, {}, 0,
                 formation_record<map::kFormationRecords>, -1, encode_rate});
    add_member_flag_columns(s, formations, member_flags_at<map::kFormationRecords, map::formation::flag_byte>);
    namespace e = map::encounter;
    s.push_back({"main-encounter-rows", k::kMonster, &map::kMainEncounters, e::kMonster, false, {}, 0, main_row});
    for (auto [key, field] : {std::pair{k::kMaxCount, e::kMaxCount}, {k::kMaxSizes[0], e::kSize1},
                              {k::kMaxSizes[1], e::kSize2}}) {
        s.push_back({"main-encounter-rows", key, &map::kEncounterTypes, field, false, {}, 0, encounter_type});
    }
    s.push_back({"sub-encounter-entries", k::kMonster, &map::kSubEncounters, e::kSubMonster, false, {}, 0, sub_entry});
    s.push_back({"sub-encounter-entries", k::kLevel, &map::kSubEncounters, e::kSubLevel, false, {}, 0, sub_entry});
}

std::vector<common::ComputedField> computed() { return k::computed_fields(kLearningCount); }

std::vector<common::StoredField> stored() {
    std::vector<common::StoredField> s = k::stored_fields();
    add_found(s);
    return s;
}

}  // namespace

}  // namespace importer

namespace mt3 {

const importer::ImportLayout& import_layout() {
    static const importer::ImportLayout kLayout{
        importer::stored(),
        {{"monsters", &layout::kMonsterNames},
         {"items", &layout::kItemNames},
         {"techniques", &layout::kTechNames},
         {"characters", &layout::kCharacterNames, mt3::character_name_record},
         {"formations", &layout::kFormationNames}},
        importer::computed(),
        importer::read_tables(),
        kCharTables,
    };
    return kLayout;
}

}  // namespace mt3
