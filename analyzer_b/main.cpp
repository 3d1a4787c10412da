// mt3analyzer: writes the data tables of a game-B ROM image as nineteen reports.
#include "analyzer_b/driver.h"
#include "common/files.h"

int main(int argc, char** argv) {
    utf8_arguments(&argc, &argv);
    return analyzer_main(argc, argv, mt3::kAnalyzerInfo);
}
