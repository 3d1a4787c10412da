#include "demo/demo.h"

#include "demo/game_text.h"
#include "import/patch.h"

namespace demo {

DemoGame build_demo_game(const DemoGamePlan& plan, std::initializer_list<TableStep> steps) {
    DemoGame game{DemoImage(plan.rom_size), {}, monster_names(), plan.script, {}};
    DemoRng rng(plan.seed);
    for (TableStep step : steps) step(game, rng);
    put_formation_table(game.image, rng, plan.formations, plan.tables);
    game.image.finish_header(plan.title, plan.map_mode);
    game.script_text = encode_game_text(game.script, plan.tables);
    return game;
}

namespace {

void write_game(const std::string& dir, const DemoGame& game, const DemoFileNames& files) {
    write_demo_file(dir + "/" + files.image, game.image.file_bytes(kDemoCopierHeaderSize));
    write_demo_file(dir + "/" + files.text, game.script_text);
}

}  // namespace

void write_demo_files(const std::string& dir) {
    DemoGame game_a = make_game_a();
    write_game(dir, game_a, kGameAFiles);
    write_game(dir, make_game_b(), kGameBFiles);
    const DemoBytes first = game_a.image.file_bytes(kDemoCopierHeaderSize);
    revise_game_a(game_a);
    const DemoBytes revised = game_a.image.file_bytes(kDemoCopierHeaderSize);
    write_demo_file(dir + "/" + kGameARevisedImage, revised);
    write_demo_file(dir + "/" + kGameARevisionPatch, importer::bps_patch(first, revised));
}

}  // namespace demo
