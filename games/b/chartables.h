// Character tables of game B: one Shift-JIS character per game code, made
// in games/b/chartables.cpp.
#pragma once

#include "common/chartables.h"

namespace mt3 {

extern const common::CharTables kCharTables;

}  // namespace mt3
