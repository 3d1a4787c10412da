// The formation report that both games share: per formation a bracketed title
// and five member rows with selection rate, speed modifier and position flags.
#pragma once

#include <cstdint>
#include <vector>

#include "common/error.h"
#include "common/layout.h"
#include "common/names.h"
#include "common/report.h"
#include "common/rom.h"

namespace common {

constexpr int kFormationMembers = 5;

struct FormationEntry {
    int32_t rate;   // selection rate
    int32_t speed;  // speed modifier, -3..+3
    int32_t front_defence;
    int32_t rear_defence;
    int32_t ranged_attack;
    int32_t close_attack;
    int32_t magic_attack;
};

// The fields of a member's flag byte (byte 0), as both games store it.
namespace member_flags {
inline constexpr Field kFront = flag_field(0, 7);
inline constexpr Field kRear = flag_field(0, 6);
inline constexpr Field kClose = flag_field(0, 5);
inline constexpr Field kRanged = flag_field(0, 4);
inline constexpr Field kMagic = flag_field(0, 3);
inline constexpr Field kSpeed{0, 0, 2, 0, 1, 2};  // -3..+3, bit 2 the sign
}  // namespace member_flags

// A member with selection rate rate and the flag byte at flags, read through
// the fields of member_flags.
FormationEntry decode_formation_member(int rate, const unsigned char* flags);
// Writes the flags of a member (speed -3..+3) into the flag byte at flags,
// the inverse of decode_formation_member.
void encode_formation_member(const FormationEntry& e, unsigned char* flags);

// Every member of the formations of records (one record each, its count of
// them), formation by formation: a member's rate through rate_of, its flags
// from the byte at flag_byte(p) of the record.
Result<std::vector<FormationEntry>> load_formation_members(const RomImage& image, const TableLayout& records,
                                                           int (*rate_of)(const unsigned char* record, int p),
                                                           long (*flag_byte)(int p));

// The "後防(実際)" column of game A: the rear defence a member actually has,
// which is bit 0 of its speed modifier.
int actual_rear_defence(const FormationEntry& e);

// Writes count formations of kFormationMembers entries each. With
// actual_rear_column the rows end with the "後防(実際)" column (odd speed).
void write_formation_report(ReportText& out, const FormationEntry* formations, int count, NameLookup formation_name,
                            bool actual_rear_column);

// One game's formations: their names, their records, how a member's rate
// and flag byte are found in a record, and whether the report ends its rows
// with the "後防(実際)" column. The name lookup, the loader and the report
// writer below are made from it.
struct FormationTable {
    NameTableKind names;
    TableLayout records;
    int (*rate_of)(const unsigned char* record, int p);
    long (*flag_byte)(int p);
    bool actual_rear_column;
};

// The name of formation index of the table, "" outside its records.
template <const FormationTable& Table>
const char* formation_name(const NameTables& names, int index) {
    return names.get(Table.names, index);
}

// Every member of the table's formations, formation by formation.
inline Result<std::vector<FormationEntry>> load_formations(const RomImage& image, const FormationTable& table) {
    return load_formation_members(image, table.records, table.rate_of, table.flag_byte);
}

// The formation report of a game's run (its formations and names): a writer
// of the game's table of reports.
template <typename Run, const FormationTable& Table>
void write_formations(ReportText& out, const Run& run) {
    write_formation_report(out, run.formations.data(), Table.records.count,
                           NameLookup(run.names, formation_name<Table>), Table.actual_rear_column);
}

}  // namespace common
