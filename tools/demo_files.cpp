#include "tools/demo_files.h"

#include "demo/demo.h"
#include "games/a/demo.h"
#include "import/patch.h"
#include "tools/games.h"

namespace demo {

namespace {

void write_game(const std::string& dir, const DemoGame& game, const DemoFileNames& files) {
    write_demo_file(dir + "/" + files.image, game.image.file_bytes(kDemoCopierHeaderSize));
    write_demo_file(dir + "/" + files.text, game.script_text);
}

// The demo's later revision of game A, and the patch to it: what the
// comparison and the merge are shown with.
void write_revision(const std::string& dir) {
    DemoGame game = mt2::make_demo();
    const DemoBytes first = game.image.file_bytes(kDemoCopierHeaderSize);
    revise_game_a(game);
    const DemoBytes revised = game.image.file_bytes(kDemoCopierHeaderSize);
    write_demo_file(dir + "/" + kGameARevisedImage, revised);
    write_demo_file(dir + "/" + kGameARevisionPatch, importer::bps_patch(first, revised));
}

}  // namespace

#define MT_DEMO_GAME(game) write_game(dir, game::make_demo(), game::kDemoFiles);

void write_demo_files(const std::string& dir) {
    MT_GAMES(MT_DEMO_GAME)
    write_revision(dir);
}

#undef MT_DEMO_GAME

}  // namespace demo
