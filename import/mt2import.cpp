// mt2import: edited game-A tables written back into the image, with patches.
#include <iterator>

#include "common/tool_main.h"
#include "export/games.h"
#include "import/games.h"
#include "import/import.h"

int main(int argc, char** argv) {
    return tool_main(argc, argv, [](int c, char** v) {
        static const ImportInfo info = {
            {"mt2import - MERIDIAN TALES2 edited tables written back into the image",
             "%s: [option] image edited-file...\n", kImportOptions, static_cast<int>(std::size(kImportOptions))},
            kGameAExporter,
            game_a_import(),
        };
        return import_main(c, v, info);
    });
}
