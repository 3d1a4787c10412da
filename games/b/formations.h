// Battle formations of game B: thirty-two formations of five members.
// Their name lookup, loader and report are made from kFormations.
#pragma once

#include "common/formations.h"
#include "games/b/chartables.h"
#include "games/b/layout.h"

namespace mt3 {

static_assert(layout::formation::kMembers == common::kFormationMembers);

inline constexpr common::FormationTable kFormations{{3, layout::kFormationNames, &kCharTables},
                                                   layout::kFormationRecords, layout::formation::rate,
                                                   layout::formation::flag_byte, false};
constexpr int kFormationCount = layout::kFormationRecords.count;

// The formation's name, or "" for an index outside 0..31.
inline constexpr common::NameLookup::Function formation_name = common::formation_name<kFormations>;

}  // namespace mt3
