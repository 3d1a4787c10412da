// mt2decoder, mt3decoder: converts game-encoded text into Shift-JIS text. One
// main for every game: the game is the one the program's name names, or
// MT_GAME, the one it was built for.
#include <string>

#include "common/cmdline.h"
#include "common/tool_main.h"
#include "decoder/decode.h"
#include "tools/games.h"

namespace {

const char* const kOptions[] = {
    "\t-s\tdecode in single-byte mode\n",
    "\t-m\tdecode in multi-byte mode\n",
    "\t-h\tdisplay this help and exit\n",
};

#define MT_DECODER(game) {game::kGame, game::kCharTables},
const common::GameEntry<const common::CharTables&> kDecoders[] = {MT_GAMES(MT_DECODER)};

int decoder_run(int argc, char** argv) {
    const common::GameEntry<const common::CharTables&>& decoder = common::find_game(kDecoders, "decoder", argv[0], MT_GAME);
    const std::string banner = std::string(decoder.game.name) + "decoder - game text to Shift-JIS decoder";
    const common::HelpText help = {banner.c_str(), "%s: [option] src-filename dst-filename\n", kOptions, 3};
    common::CommandLine line;
    common::scan_command_line(argc, argv, help, common::DestinationKind::File, &line);
    if (line.src[0] == '\0' || line.dst[0] == '\0') common::fatal("Too few arguments");
    if (!decoder::decode_file(line.src, line.dst, decoder.part)) common::fatal("Cannot decode");
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return common::tool_main(argc, argv, decoder_run); }
