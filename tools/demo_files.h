// The demo's files, as mtdemo writes them.
#pragma once

#include <string>

namespace demo {

// Writes every game's image (copier header included) and game text, the
// revised game-A image and the patch to it into the directory dir (which
// must exist).
void write_demo_files(const std::string& dir);

}  // namespace demo
