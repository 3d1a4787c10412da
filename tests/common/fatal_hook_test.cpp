// A harness that runs many inputs in one process leaves a fatal diagnostic by
// throwing from the fatal hook: nothing allocated on the way may leak, and a
// report being written is closed with what was written. (Leaks show up in the
// sanitizer build, which checks for them at exit.)
#include <gtest/gtest.h>

#include <string>

#include "common/block.h"
#include "common/diag.h"
#include "common/namecache.h"
#include "common/report.h"
#include "common/rom.h"
#include "tests/support/test_util.h"

namespace {

struct FatalExit {};
[[noreturn]] void throw_fatal() { throw FatalExit{}; }

class FatalHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        set_fatal_hook(throw_fatal);
        RomBuilder(0x100).write(image_);
        ASSERT_EQ(rom_open(image_.c_str(), "MERIDIAN TALES2      "), 1);
    }
    void TearDown() override {
        rom_close();
        set_fatal_hook(nullptr);
        NameCache::reset_all();
    }

    TempDir dir_;
    std::string image_ = dir_.file("short.smc");
};

NameCache g_far_names(0x1000, 4, 8, kGameACharTables);

}  // namespace

TEST_F(FatalHookTest, ShortTableReadReleasesItsBuffer) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(RomTable(0xF0, 16, 4), FatalExit);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Fatal error in fread():"), std::string::npos);
}

TEST_F(FatalHookTest, NameCacheFillThatFailsLeavesNothingBehind) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(g_far_names.get(0), FatalExit);
    testing::internal::GetCapturedStderr();
}

TEST_F(FatalHookTest, ReportLeftByAFatalReadIsClosedWithWhatWasWritten) {
    const std::string path = dir_.file("report.txt");
    write_file(path, std::string(1000, 'o'));
    testing::internal::CaptureStderr();
    EXPECT_THROW(write_report(path.c_str(), true,
                              [](FILE* fp) {
                                  fputs("header\n", fp);
                                  fputs(g_far_names.get(1), fp);
                              }),
                 FatalExit);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(read_file(path), "header\n");
}
