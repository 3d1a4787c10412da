// mt2decoder / mt3decoder: converts game-encoded text into Shift-JIS text.
#include "common/cmdline.h"
#include "common/tool_main.h"
#include "decoder/decode.h"

#ifndef DECODER_GAME_B
#define DECODER_TOOL "mt2decoder"
#define DECODER_TABLES kGameACharTables
#else
#define DECODER_TOOL "mt3decoder"
#define DECODER_TABLES kGameBCharTables
#endif

namespace {

const char* const kOptions[] = {
    "\t-s\tdecode in single-byte mode\n",
    "\t-m\tdecode in multi-byte mode\n",
    "\t-h\tdisplay this help and exit\n",
};

const HelpText kHelp = {
    DECODER_TOOL " - game text to Shift-JIS decoder",
    "%s: [option] src-filename dst-filename\n",
    kOptions,
    3,
};

int decoder_run(int argc, char** argv) {
    CommandLine line;
    scan_command_line(argc, argv, kHelp, DestinationKind::File, &line);
    if (line.src[0] == '\0' || line.dst[0] == '\0') fatal("Too few arguments");
    if (!decode_file(line.src, line.dst, DECODER_TABLES)) fatal("Cannot decode");
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return tool_main(argc, argv, decoder_run); }
