// mt2export and mt3export: every table of a ROM image as UTF-8 data files.
// Built once per game, MT_EXPORTER naming the game's description.
#include "common/files.h"
#include "export/games.h"

int main(int argc, char** argv) {
    utf8_arguments(&argc, &argv);
    return exporter_main(argc, argv, MT_EXPORTER);
}
