// mt3analyzer: writes the data tables of a game-B ROM image as text reports.
#include "analyzer_b/driver.h"
#include "common/tool_main.h"

int main(int argc, char** argv) {
    return tool_main(argc, argv, [](int c, char** v) { return analyzer_main(c, v, mt3::kAnalyzerInfo); });
}
