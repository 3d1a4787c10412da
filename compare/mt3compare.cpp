// mt3compare: two game-B images, or an image and a patch, table by table.
#include <iterator>

#include "analyzer_b/layout.h"
#include "common/files.h"
#include "compare/compare.h"
#include "export/games.h"

int main(int argc, char** argv) {
    utf8_arguments(&argc, &argv);
    static const CompareInfo info = {
        {"mt3compare - MERIDIAN TALES3 image comparison, table by table", "%s: [option] old-filename new-filename\n",
         kCompareOptions, static_cast<int>(std::size(kCompareOptions))},
        kGameBExporter,
        mt3::layout::kTables,
    };
    return compare_main(argc, argv, info);
}
