// What mt3import writes of game B through the game's layout: the stored
// fields of monsters (with their drop table entries) and their action
// patterns, the encounter tables, characters, items (armour levels and
// bonuses aside), techniques, the learning lists and the formations, and the
// names of monsters, characters, items, techniques and formations.
#include <algorithm>

#include "games/b/characters.h"
#include "games/b/chartables.h"
#include "games/b/fields.h"
#include "games/b/formations.h"
#include "games/b/game.h"
#include "games/b/layout.h"
#include "import/game_layout.h"

namespace mt3 {

namespace {

// The selection rates are differences of cumulative bounds: a member's new
// rate moves its bound and every later one by the same amount, so that the
// other members keep their rates.
bool encode_rate(uint8_t* record, int member, long rate, long* lo, long* hi) {
    namespace f = layout::formation;
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
    const long record = layout::kMonsterRecords.record(monster);
    if (monster < 0 || static_cast<size_t>(record + layout::kMonsterRecords.record_size) > size) return -1;
    return layout::kDropTable.record(layout::monster::kDropEntry.get(rom + record));
}

// A main encounter row, and the encounter type it names (which rows share).
long main_row(const uint8_t*, size_t, int group, int row) {
    return group >= 0 && group < layout::kMainEncounters.count
               ? layout::kMainEncounters.record(group) + layout::kMainEncounterRows.record(row)
               : -1;
}
long encounter_type(const uint8_t* rom, size_t size, int group, int row) {
    const long at = main_row(rom, size, group, row);
    if (at < 0 || static_cast<size_t>(at + layout::kMainEncounterRows.record_size) > size) return -1;
    const int type = layout::encounter::kType.get(rom + at);
    return type < layout::kEncounterTypes.count ? layout::kEncounterTypes.record(type) : -1;
}
long sub_entry(const uint8_t*, size_t, int type, int entry) {
    return type >= 0 && type < layout::kSubEncounters.count
               ? layout::kSubEncounters.record(type) + layout::kSubEncounterEntries.record(entry)
               : -1;
}

// The rows that game B alone finds through the image: drop table entries
// and encounter rows.
std::vector<common::StoredField> found_rows() {
    namespace k = fields;
    namespace e = layout::encounter;
    std::vector<common::StoredField> s;
    // Drop codes 253 and 254 stand for what the monster carries in weapon
    // slot 1 or 2, so items 253 and 254 cannot be written as drops.
    for (int d = 0; d < 4; ++d) {
        s.push_back({"monsters", k::kDrops[d], &layout::kDropTable, layout::drop::kDrops[d], false, {}, 0, drop_entry, 252});
    }
    s.push_back({"monsters", k::kMoney, &layout::kDropTable, layout::drop::kMoney, false, {}, 0, drop_entry});
    s.push_back({"main-encounter-rows", k::kMonster, &layout::kMainEncounters, e::kMonster, false, {}, 0, main_row});
    for (auto [key, field] : {std::pair{k::kMaxCount, e::kMaxCount}, {k::kMaxSizes[0], e::kSize1},
                              {k::kMaxSizes[1], e::kSize2}}) {
        s.push_back({"main-encounter-rows", key, &layout::kEncounterTypes, field, false, {}, 0, encounter_type});
    }
    s.push_back({"sub-encounter-entries", k::kMonster, &layout::kSubEncounters, e::kSubMonster, false, {}, 0, sub_entry});
    s.push_back({"sub-encounter-entries", k::kLevel, &layout::kSubEncounters, e::kSubLevel, false, {}, 0, sub_entry});
    return s;
}

constexpr importer::FoundTables kFound = MT_FOUND_TABLES(mt3);

}  // namespace

const importer::ImportLayout& import_layout() {
    static const importer::ImportLayout kLayout = importer::import_layout_of<kFound>({
        .stored = fields::stored_fields,
        .action = {0, 0, 8, 256},  // techniques 256-511
        .rate = common::byte_field(0),
        .encode_rate = encode_rate,
        .found = found_rows(),
        .computed = fields::computed_fields,
        .tables = layout::kTables,
        .names = {{"monsters", &layout::kMonsterNames},
                  {"characters", &layout::kCharacterNames, character_name_record},
                  {"items", &layout::kItemNames},
                  {"techniques", &layout::kTechNames},
                  {"formations", &layout::kFormationNames}},
        .chars = kCharTables,
    });
    return kLayout;
}

}  // namespace mt3
