// A harness that runs many inputs in one process leaves a fatal diagnostic by
// throwing from the fatal hook: nothing allocated on the way may leak, also
// when the fatal diagnostic is an allocation that failed, and a report being
// written is closed with what was written. (Leaks show up in the sanitizer
// build, which checks for them at exit.)
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/block.h"
#include "common/diag.h"
#include "common/learning.h"
#include "common/namecache.h"
#include "common/report.h"
#include "common/rom.h"
#include "decoder/decode.h"
#include "tests/support/test_util.h"

namespace {

class FatalHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        set_fatal_hook(throw_fatal_exit);
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
    EXPECT_EQ(read_text_file(path), "header\n");
}

TEST_F(FatalHookTest, TitleSearchThatFailsReleasesItsBuffer) {
    SKIP_ON_WINDOWS("Windows opens no directory as a file, so the search never reads one");
    testing::internal::CaptureStderr();
    EXPECT_THROW(rom_open(dir_.path().c_str(), "MERIDIAN TALES2      "), FatalExit);  // reading a directory fails
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Fatal error in fread():"), std::string::npos);
}

// Every allocation of the learning-list loader and of a decoder run fails in
// turn, as memory that runs out would: each ends in the fatal diagnostic and
// leaves nothing allocated.
TEST_F(FatalHookTest, EveryFailedAllocationLeavesNothingBehind) {
    RomBuilder(0x1000).put(0x000, {1, 2, 10, 1, 11, 2, 2, 1, 12, 3, 0xFF}).put(0x800, {3, 1, 13, 4, 0xFF}).write(image_);
    ASSERT_EQ(rom_open(image_.c_str(), "MERIDIAN TALES2      "), 1);
    write_file(dir_.file("text.bin"), std::string("\x51\x20\x01"));
    const std::string text = dir_.file("text.bin"), decoded = dir_.file("text.txt");
    struct Case {
        int allocations;
        std::function<void()> run;
    } cases[] = {
        {7,  // two windows, the header, the group list, three entry lists
         [] {
             TechLearning* learning = load_learning_lists(0x000, 0x800);
             free_tech_learning(learning);
             free(learning);
         }},
        {2, [&] { EXPECT_EQ(decode_file(text.c_str(), decoded.c_str(), kGameACharTables), 1); }},
    };
    for (const Case& c : cases) {
        int failed = 0;
        for (bool threw = true; threw; ++failed) {
            testing::internal::CaptureStderr();
            fail_calloc(failed + 1);
            threw = false;
            try {
                c.run();
            } catch (const FatalExit&) {
                threw = true;
            }
            fail_calloc(0);
            const std::string err = testing::internal::GetCapturedStderr();
            if (threw) {
                EXPECT_NE(err.find("Fatal error in malloc()"), std::string::npos);
            }
        }
        EXPECT_EQ(failed - 1, c.allocations);
    }
}
