// The demo ROM images and game texts: one synthetic image per game, with a
// 512-byte copier header, filled with invented but plausible tables at the
// rom offsets that the analyzers read, and one short script per game for the
// decoders. Each game's folder makes its own (games/a/demo.h).
#pragma once

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
    std::vector<TableStep> steps;
};
DemoGame build_demo_game(const DemoGamePlan& plan);

constexpr size_t kDemoCopierHeaderSize = 512;

// The files the generator writes of a game: image, game text.
struct DemoFileNames {
    const char* image;
    const char* text;
};

}  // namespace demo
