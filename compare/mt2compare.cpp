// mt2compare: two game-A images, or an image and a patch, table by table.
#include <iterator>

#include "analyzer_a/layout.h"
#include "common/tool_main.h"
#include "compare/compare.h"
#include "export/games.h"

int main(int argc, char** argv) {
    return tool_main(argc, argv, [](int c, char** v) {
        static const CompareInfo info = {
            {"mt2compare - MERIDIAN TALES2 image comparison, table by table", "%s: [option] old-filename new-filename\n",
             kCompareOptions, static_cast<int>(std::size(kCompareOptions))},
            kGameAExporter,
            mt2::layout::kTables,
        };
        return compare_main(c, v, info);
    }, kCompareTrouble);
}
