// The demo ROM images and game texts: a synthetic game-A image (LoROM, 2 MiB)
// and a synthetic game-B image (HiROM, 4 MiB), both with a 512-byte copier
// header, filled with invented but plausible tables at the rom offsets that
// the analyzers read, and one short script per game for the decoders.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "demo/demo_image.h"
#include "demo/demo_parts.h"

namespace demo {

struct DemoGame {
    DemoImage image;
    std::vector<LearnGroupPlan> learning;  // learning list 1, then list 2
    std::vector<std::string> monster_names;  // Shift-JIS, as written
    std::string script;                     // the demo script in Shift-JIS
    DemoBytes script_text;                  // the same script as game text
};

DemoGame make_game_a();
DemoGame make_game_b();

// The demo's later revision of game A: a monster's HP, a monster's name, a
// learning difficulty and sixteen bytes of code outside every table changed,
// the internal checksum made right again.
void revise_game_a(DemoGame& game);

// How a demo game is put together: its ROM, header and tables, and the
// steps that place its tables, run in order with one random source; the
// formation table comes last.
using TableStep = void (*)(DemoGame& game, DemoRng& rng);
struct DemoGamePlan {
    size_t rom_size;
    const char* title;
    unsigned map_mode;
    const common::CharTables& tables;
    const char* script;
    uint32_t seed;
    FormationTable formations;
};
DemoGame build_demo_game(const DemoGamePlan& plan, std::initializer_list<TableStep> steps);

constexpr size_t kDemoCopierHeaderSize = 512;
constexpr size_t kGameARomSize = 2 * 1024 * 1024;
constexpr size_t kGameBRomSize = 4 * 1024 * 1024;
constexpr const char* kGameATitle = "MERIDIAN TALES2      ";
constexpr const char* kGameBTitle = "MERIDIAN TALES3      ";
constexpr unsigned kGameAMapMode = 0x20;  // LoROM
constexpr unsigned kGameBMapMode = 0x21;  // HiROM

// The files the generator writes, by game: image, game text.
struct DemoFileNames {
    const char* image;
    const char* text;
};
constexpr DemoFileNames kGameAFiles = {"mt2demo.smc", "mt2demo-text.bin"};
constexpr DemoFileNames kGameBFiles = {"mt3demo.smc", "mt3demo-text.bin"};
// The revised game-A image, and the BPS patch from the first to it.
constexpr const char* kGameARevisedImage = "mt2demo-v2.smc";
constexpr const char* kGameARevisionPatch = "mt2demo-v2.bps";

// Writes both images (copier header included), both game texts, the revised
// game-A image and the patch to it into the directory dir (which must exist).
void write_demo_files(const std::string& dir);

}  // namespace demo
