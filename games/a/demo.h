// The demo's game-A image (LoROM, 2 MiB) and game text, and its later
// revision; made in games/a/demo_image.cpp.
#pragma once

#include <cstddef>

#include "demo/demo.h"
#include "games/a/game.h"

namespace demo {

// The demo's later revision of game A: a monster's HP, a monster's name, a
// learning difficulty and sixteen bytes of code outside every table changed,
// the internal checksum made right again.
void revise_game_a(DemoGame& game);

constexpr size_t kGameARomSize = 2 * 1024 * 1024;
constexpr const char* kGameATitle = "MERIDIAN TALES2      ";
constexpr unsigned kGameAMapMode = 0x20;  // LoROM

constexpr DemoFileNames kGameAFiles = mt2::kDemoFiles;
// The revised game-A image, and the BPS patch from the first to it.
constexpr const char* kGameARevisedImage = "mt2demo-v2.smc";
constexpr const char* kGameARevisionPatch = "mt2demo-v2.bps";

}  // namespace demo
