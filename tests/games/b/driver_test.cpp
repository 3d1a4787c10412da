// The game-B driver: the run in process, and an image without the game-B
// title (the end-to-end runs of both analyzers are in tests/tools).
#include "games/b/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {

class InProcessRun : public ReportTest {};

}  // namespace

TEST_F(InProcessRun, RunWritesEveryReportOfTheTable) {
    open();
    const std::string out = path("out");
    ASSERT_EQ(make_dir(out), 0);
    EXPECT_EQ(mt3::kAnalyzerInfo.run((out + "/").c_str(), *image_), 0);
    std::vector<std::string> expected;
    for (const auto& report : mt3::kReports) expected.push_back(report.file_name);
    std::vector<std::string> written = list_dir(out);
    std::sort(expected.begin(), expected.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, expected);
}

TEST_F(InProcessRun, RunReportsFailureWhenAReportCannotBeCreated) {
    open();
    EXPECT_EQ(mt3::kAnalyzerInfo.run((path("missing") + "/").c_str(), *image_), 1);
}

TEST(GameBRun, GameAImageIsReadFromRawFilePositions) {
    // Without the game-B title the image base is 0: the formation names are
    // read at file position 0x3D0000, which is rom offset 0x3D0000 - 512 here.
    TempDir dir;
    RomBuilder game_a = RomBuilder(0x400000).header("MERIDIAN TALES2      ", 0x21).copier(kCopierSize);
    put_name(game_a, kFormationNames, 0, {0x82, 0x83});  // where the title would place it: アイ
    game_a.put(kFormationNames.offset - static_cast<long>(kCopierSize), game_text({0xAE}, 10));  // ン
    game_a.write(dir.file("image.smc"));
    ASSERT_EQ(make_dir(dir.file("out")), 0);
    const RunResult r = run_tool(MT3ANALYZER, {dir.file("image.smc"), dir.file("out")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(split_lines(read_text_file(dir.file("out/mt3formdata.txt")))[0], "[No.000(00): ン]");
}
