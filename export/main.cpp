// mt2export and mt3export: every table of a ROM image as UTF-8 data files.
// Built once per game, MT_EXPORTER naming the game's description.
#include "common/tool_main.h"
#include "export/games.h"

int main(int argc, char** argv) {
    return tool_main(argc, argv, [](int c, char** v) { return exporter_main(c, v, MT_EXPORTER); });
}
