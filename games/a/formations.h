// Battle formations of game A: sixteen formations of five members, the report
// with the "後防(実際)" column.
// Their name lookup, loader and report are made from kFormations.
#pragma once

#include "common/formations.h"
#include "games/a/chartables.h"
#include "games/a/layout.h"

namespace mt2 {

static_assert(layout::formation::kMembers.count == common::kFormationMembers);

inline constexpr common::FormationTable kFormations{{3, layout::kFormationNames, &kCharTables},
                                                   layout::kFormationRecords, layout::formation::rate,
                                                   layout::formation::flag_byte, true};
constexpr int kFormationCount = layout::kFormationRecords.count;

// The formation's name, or "" for an index outside 0..15.
inline constexpr common::NameLookup::Function formation_name = common::formation_name<kFormations>;

}  // namespace mt2
