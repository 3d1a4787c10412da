// mt3import: edited game-B tables written back into the image, with patches.
#include <iterator>

#include "common/tool_main.h"
#include "export/games.h"
#include "import/games.h"
#include "import/import.h"

int main(int argc, char** argv) {
    return tool_main(argc, argv, [](int c, char** v) {
        static const ImportInfo info = {
            {"mt3import - MERIDIAN TALES3 edited tables written back into the image",
             "%s: [option] image edited-file...\n", kImportOptions, static_cast<int>(std::size(kImportOptions))},
            kGameBExporter,
            game_b_import(),
        };
        return import_main(c, v, info);
    });
}
