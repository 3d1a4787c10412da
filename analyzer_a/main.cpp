// mt2analyzer: writes the data tables of a game-A ROM image as text reports.
#include "analyzer_a/driver.h"
#include "common/files.h"

int main(int argc, char** argv) {
    utf8_arguments(&argc, &argv);
    return analyzer_main(argc, argv, mt2::kAnalyzerInfo);
}
