// What each importer can write: game A (mt2import) and game B (mt3import).
#pragma once

#include "import/apply.h"

namespace importer {

const ImportLayout& game_a_import();
const ImportLayout& game_b_import();

}  // namespace importer
