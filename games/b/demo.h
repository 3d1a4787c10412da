// The demo's game-B image (HiROM, 4 MiB) and game text; made in
// games/b/demo_image.cpp.
#pragma once

#include <cstddef>

#include "demo/demo.h"
#include "games/b/game.h"

namespace demo {

constexpr size_t kGameBRomSize = 4 * 1024 * 1024;
constexpr const char* kGameBTitle = "MERIDIAN TALES3      ";
constexpr unsigned kGameBMapMode = 0x21;  // HiROM

constexpr DemoFileNames kGameBFiles = mt3::kDemoFiles;

}  // namespace demo
