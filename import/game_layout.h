// An import layout put together from a game's layout: the fields its records
// keep as they stand, the rows that both games find through the image (the
// monsters' action pattern slots, the learning lists, the formation members)
// and those that the game alone finds, the name columns, and the tables that
// the game reads.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "common/chartables.h"
#include "common/export_keys.h"
#include "common/formations.h"
#include "common/layout.h"
#include "import/apply.h"

namespace importer {

// The tables behind the rows that both games find through the image.
struct FoundTables {
    const common::TableLayout* monsters;
    const common::Field (*patterns)[2];  // a monster record's two action pattern numbers
    const common::TableLayout* action_patterns;
    const common::TableLayout* list1;  // the learning lists
    const common::TableLayout* list2;
    const common::FormationTable* formations;  // their records and the members' flag bytes
};

// The found tables of a game, named by its namespace: every game names them
// alike in its layout.
#define MT_FOUND_TABLES(game)                                                                           \
    importer::FoundTables {                                                                            \
        &game::layout::kMonsterRecords, &game::layout::monster::kPatterns, &game::layout::kActionPatterns, \
            &game::layout::kLearningList1, &game::layout::kLearningList2, &game::kFormations             \
    }

// What else a game gives its import layout.
struct GameLayout {
    std::vector<common::StoredField> (*stored)();  // the fields its records keep as they stand
    common::Field action;                          // an action pattern slot's technique
    common::Field rate;                            // a formation member's selection rate,
    Encode encode_rate;                            // written through encode_rate
    std::vector<common::StoredField> found = {};   // the rows that the game alone finds through the image
    std::vector<common::ComputedField> (*computed)(const char* learning_count);
    std::span<const common::TableLayout> tables;  // every table that the game reads
    std::vector<ReadTable> read_in_part = {};      // besides the learning lists, those it reads in part
    std::vector<NameColumn> names;                 // in the order of the exported tables
    const common::CharTables& chars;
};

// The rows that both games find through the image.

// Slot row % 8 of the action pattern that monster uses as pattern row / 8
// (the monster record's pattern bytes give the pattern's number).
template <FoundTables T>
long action_slot(const uint8_t* rom, size_t size, int monster, int row) {
    const common::TableLayout& monsters = *T.monsters;
    const long record = monsters.record(monster);
    if (monster < 0 || monster >= monsters.count || static_cast<size_t>(record + monsters.record_size) > size) {
        return -1;
    }
    return T.action_patterns->record((*T.patterns)[row / 8].get(rom + record)) + row % 8;
}

// A group of learning list 1 or 2 (its key and count bytes; parent -1: the
// group is index) or entry index of group parent there (its technique and
// difficulty bytes).
template <FoundTables T, int List>
long learning_row(const uint8_t* rom, size_t size, int parent, int index) {
    const common::TableLayout& list = List == 1 ? *T.list1 : *T.list2;
    const long group = learning_group_at(rom, size, T.list1->offset, T.list2->offset, parent < 0 ? index : parent);
    if (group < list.offset || group >= list.end()) return -1;
    return parent < 0 ? group : group + 2 + 2 * index;
}

// Member index of formation parent: its record (rate) and its flag byte.
template <FoundTables T>
long formation_record(const uint8_t*, size_t, int parent, int) {
    const common::TableLayout& records = T.formations->records;
    return parent >= 0 && parent < records.count ? records.record(parent) : -1;
}
template <FoundTables T>
long member_flags_at(const uint8_t* rom, size_t size, int parent, int index) {
    const long record = formation_record<T>(rom, size, parent, index);
    return record < 0 ? -1 : record + T.formations->flag_byte(index);
}

// The stored columns of those rows: the action slots' techniques, the
// learning lists' group keys (255 would end the list) and their entries'
// techniques and difficulties, the formation members' rates and flags.
template <FoundTables T>
void add_shared_rows(std::vector<common::StoredField>& s, const GameLayout& game) {
    namespace k = common::shared_keys;
    s.push_back({"monster-actions", k::kAction, T.action_patterns, game.action, false, {}, 0, action_slot<T>});
    const std::pair<const common::TableLayout*, RecordOf> lists[] = {{T.list1, learning_row<T, 1>},
                                                                     {T.list2, learning_row<T, 2>}};
    for (const auto& [list, row] : lists) {
        s.push_back({"learning-lists", k::kGroupKey, list, common::byte_field(0), false, {}, 0, row, 254});
        s.push_back({"learning-entries", k::kTech, list, common::byte_field(0), false, {}, 0, row});
        s.push_back({"learning-entries", k::kDifficulty, list, common::byte_field(1), false, {}, 0, row});
    }
    const common::TableLayout* formations = &T.formations->records;
    s.push_back({"formation-members", k::kRate, formations, game.rate, false, {}, 0, formation_record<T>, -1,
                 game.encode_rate});
    add_member_flag_columns(s, formations, member_flags_at<T>);
}

// Whether the game reads the byte at offset of learning list 1 or 2: up to
// the key byte that ends the list.
template <FoundTables T, int List>
bool learning_reads(const uint8_t* rom, size_t size, long offset) {
    return learning_window_reads(rom, size, (List == 1 ? T.list1 : T.list2)->offset, offset);
}

// Every table that the game reads; the learning lists and the tables read in
// part only for the bytes that the game reads.
template <FoundTables T>
std::vector<ReadTable> read_tables(const GameLayout& game) {
    std::vector<ReadTable> read;
    for (const common::TableLayout& t : game.tables) {
        read.push_back({&t});
        for (const ReadTable& part : game.read_in_part) {
            if (t.offset == part.table->offset) read.back().reads = part.reads;
        }
        if (t.offset == T.list1->offset) read.back().reads = learning_reads<T, 1>;
        if (t.offset == T.list2->offset) read.back().reads = learning_reads<T, 2>;
    }
    return read;
}

template <FoundTables T>
ImportLayout import_layout_of(const GameLayout& game) {
    std::vector<common::StoredField> stored = game.stored();
    add_shared_rows<T>(stored, game);
    stored.insert(stored.end(), game.found.begin(), game.found.end());
    return {std::move(stored), game.names, game.computed(kLearningCount), read_tables<T>(game), game.chars};
}

}  // namespace importer
