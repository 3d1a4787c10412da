#include "tools/demo_files.h"

#include "demo/demo.h"
#include "games/a/demo.h"
#include "games/b/demo.h"
#include "import/patch.h"

namespace demo {

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
