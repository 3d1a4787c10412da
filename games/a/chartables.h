// Character tables of game A: one Shift-JIS character per game code, made
// in games/a/chartables.cpp.
#pragma once

#include "common/chartables.h"

namespace mt2 {

extern const common::CharTables kCharTables;

}  // namespace mt2
