// mt3compare: two game-B images, or an image and a patch, table by table.
#include <iterator>

#include "analyzer_b/layout.h"
#include "common/tool_main.h"
#include "compare/compare.h"
#include "export/games.h"

int main(int argc, char** argv) {
    return tool_main(argc, argv, [](int c, char** v) {
        static const CompareInfo info = {
            {"mt3compare - MERIDIAN TALES3 image comparison, table by table", "%s: [option] old-filename new-filename\n",
             kCompareOptions, static_cast<int>(std::size(kCompareOptions))},
            kGameBExporter,
            mt3::layout::kTables,
        };
        return compare_main(c, v, info);
    }, kCompareTrouble);
}
