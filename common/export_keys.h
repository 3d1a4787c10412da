// The keys under which the exporters write a game's values, the report
// headings beside them, and where each stored value lies: the descriptors
// that the exporters' columns, the JSON Schemas, the comparison and the
// importers are all made from. Each game lists its own in its fields.h; the
// keys of the tables both games share (techniques, learning lists,
// formations, action patterns) stand here.
//
// Labels are UTF-8: only the exporters and importers include these files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/layout.h"

namespace common {

// An export key and the report's column heading of its value ("" where the
// reports have none).
struct Key {
    const char* key;
    const char* label;
};

// The order in which a bit set's labels name its bits.
enum class BitOrder { kHighestFirst, kLowestFirst };

// Where the record of a row lies when it is not record index - first of its
// table but is found through the image: a monster's action pattern or drop
// table entry, a group of a learning list, an encounter type. parent is the
// parent row of a nested row (-1 for a top-level row). Returns the rom offset
// of the record, or -1 when the row has none there.
using RecordOf = long (*)(const uint8_t* rom, size_t size, int parent, int index);

// A value kept in more than one field (a selection range as two bounds, the
// cumulative bounds of a formation): writes value for row index into the
// record (its bytes from the first), or returns false with lo..hi set to
// what may be written.
using Encode = bool (*)(uint8_t* record, int index, long value, long* lo, long* hi);

// A stored field of a table's rows, as it is read and written: the field of
// record index - first of records, for the rows from first on (a column of
// one item kind has a table of its own), or of the record that record_of
// finds. A flag may be stored inverted; a bit set's labels name its bits in
// order. limit, where not -1, is the highest value the game reads as one (a
// learning group's key of 255 ends its list).
struct StoredField {
    const char* table;  // the CSV file part ("monsters", "monster-actions")
    Key key;
    const TableLayout* records;
    Field field;
    bool inverted = false;
    BitOrder order = BitOrder::kHighestFirst;
    int first = 0;
    RecordOf record_of = nullptr;
    long limit = -1;
    Encode encode = nullptr;
};

// A column that is not stored as it stands: computed from the stored columns
// to change instead (their keys, separated by blanks), or stored in a way
// that the importers do not write, with why.
struct ComputedField {
    const char* table;
    Key key;
    const char* instead;
    const char* why = nullptr;
};

// The keys of the tables that both games export in one shape.
namespace shared_keys {
inline constexpr Key kName{"name", "名前"};
inline constexpr Key kKind{"kind", ""};
inline constexpr Key kTechs[2] = {{"tech_1", "武器固有技1"}, {"tech_2", "武器固有技2"}};
// Techniques.
inline constexpr Key kDerivation{"derivation", "派生"};
inline constexpr Key kLearnTypes{"learn_types", ""};
inline constexpr Key kEvade{"evade", "見切"};
inline constexpr Key kDifficulty{"difficulty", "難度"};
// Learning lists: a group's key technique and entry count, an entry's
// technique.
inline constexpr Key kGroup{"group", ""};  // CSV only: an entry's group
inline constexpr Key kGroupKey{"key", ""};
inline constexpr Key kCount{"count", ""};
inline constexpr Key kTech{"tech", ""};
// Formation members.
inline constexpr Key kPosition{"position", ""};
inline constexpr Key kRate{"rate", "選択率"};
inline constexpr Key kSpeed{"speed", "素早さ"};  // the attribute is the same word under 素早
inline constexpr Key kFront{"front_defence", "前防"};
inline constexpr Key kRear{"rear_defence", "後防"};
inline constexpr Key kClose{"close_attack", "近攻"};
inline constexpr Key kRanged{"ranged_attack", "遠攻"};
inline constexpr Key kMagic{"magic_attack", "術攻"};
inline constexpr Key kActualRear{"actual_rear_defence", "後防(実際)"};
// Monster actions, and the parent columns of nested rows in CSV.
inline constexpr Key kMonster{"monster", ""};
inline constexpr Key kMonsterName{"monster_name", ""};
inline constexpr Key kFormation{"formation", ""};
inline constexpr Key kFormationName{"formation_name", ""};
inline constexpr Key kGroupKeyName{"key_name", ""};
inline constexpr Key kPattern{"pattern", ""};
inline constexpr Key kSlot{"slot", ""};
inline constexpr Key kAction{"tech", "行動"};
}  // namespace shared_keys

}  // namespace common
