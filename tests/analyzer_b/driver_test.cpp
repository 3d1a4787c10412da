// The game-B driver: the run in process, and an image without the game-B
// title (the end-to-end runs of both analyzers are in tests/tools).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer_b/driver.h"
#include "common/rom.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {

class InProcessRun : public ReportTest {};

}  // namespace

TEST_F(InProcessRun, RunWritesEveryReportAndClosesTheImage) {
    open();
    const std::string out = path("out");
    ASSERT_EQ(make_dir(out), 0);
    EXPECT_EQ(mt3::run((out + "/").c_str()), 0);
    EXPECT_FALSE(rom_is_image(path("image.smc").c_str()));
    EXPECT_EQ(rom_image_base(), 0);
    EXPECT_EQ(list_dir(out).size(), 19u);
}

TEST_F(InProcessRun, RunReportsFailureWhenAReportCannotBeCreated) {
    open();
    EXPECT_EQ(mt3::run((path("missing") + "/").c_str()), 1);
    EXPECT_FALSE(rom_is_image(path("image.smc").c_str()));
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
