// A harness that runs many inputs in one process leaves a fatal diagnostic by
// throwing from the fatal hook: nothing allocated on the way may leak, also
// when the fatal diagnostic is an allocation that failed, and a report whose
// formatting ends that way is never opened. (Leaks show up in the sanitizer
// build, which checks for them at exit.)
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "common/block.h"
#include "common/diag.h"
#include "common/driver.h"
#include "common/learning.h"
#include "common/names.h"
#include "common/report.h"
#include "common/rom.h"
#include "common/tool_main.h"
#include "decoder/decode.h"
#include "tests/support/test_util.h"

namespace {

class FatalHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        set_fatal_hook(throw_fatal_exit);
        RomBuilder(0x100).write(image_);
        ASSERT_TRUE(rom_.open(image_.c_str(), "MERIDIAN TALES2      ", kSpan));
    }
    void TearDown() override { set_fatal_hook(nullptr); }

    static constexpr long kSpan = 0x2000;
    TempDir dir_;
    std::string image_ = dir_.file("short.smc");
    RomImage rom_;
};

constexpr NameTableKind kFarNames{0, {"names beyond the image", 0x1000, 8, 4}, &kGameACharTables};

// A run whose report looks up a name beyond the end of the image.
struct FarRun {
    const NameTables& names;
};

}  // namespace

TEST_F(FatalHookTest, ShortTableReadReleasesItsBuffer) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(RomTable(rom_, 0xF0, 16, 4), FatalExit);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Fatal error in fread():"), std::string::npos);
}

TEST_F(FatalHookTest, NameTableFillThatFailsLeavesNothingBehind) {
    testing::internal::CaptureStderr();
    const NameTables names(rom_);
    EXPECT_THROW(names.get(kFarNames, 0), FatalExit);
    testing::internal::GetCapturedStderr();
}

TEST_F(FatalHookTest, ReportLeftByAFatalReadIsNeverOpened) {
    const std::string path = dir_.file("report.txt");
    write_file(path, std::string(1000, 'o'));
    static const ReportEntry<FarRun> kReports[] = {
        {"report.txt", "a header and a name beyond the image",
         [](ReportText& out, const FarRun& run) { out.str("header\n").str(run.names.get(kFarNames, 1)); }}};
    const NameTables names(rom_);
    testing::internal::CaptureStderr();
    EXPECT_THROW(write_reports((dir_.path() + "/").c_str(), kReports, FarRun{names}, rom_), FatalExit);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(read_text_file(path), std::string(1000, 'o'));
}

TEST_F(FatalHookTest, TitleSearchThatFailsReleasesItsBuffer) {
    SKIP_ON_WINDOWS("Windows opens no directory as a file, so the search never reads one");
    testing::internal::CaptureStderr();
    EXPECT_THROW(RomImage().open(dir_.path().c_str(), "MERIDIAN TALES2      ", kSpan),
                 FatalExit);  // reading a directory fails
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Fatal error in fread():"), std::string::npos);
}

// Every allocation of the learning-list loader and of a decoder run fails in
// turn, as memory that runs out would: each ends in the fatal diagnostic and
// leaves nothing allocated.
TEST_F(FatalHookTest, EveryFailedAllocationLeavesNothingBehind) {
    RomBuilder(0x1000).put(0x000, {1, 2, 10, 1, 11, 2, 2, 1, 12, 3, 0xFF}).put(0x800, {3, 1, 13, 4, 0xFF}).write(image_);
    RomImage rom;
    ASSERT_TRUE(rom.open(image_.c_str(), "MERIDIAN TALES2      ", kSpan));
    write_file(dir_.file("text.bin"), std::string("\x51\x20\x01"));
    const std::string text = dir_.file("text.bin"), decoded = dir_.file("text.txt");
    struct Case {
        int allocations;
        std::function<void()> run;
    } cases[] = {
        {5,  // the header, the group list, three entry lists
         [&] {
             TechLearning* learning = load_learning_lists(rom, 0x000, 0x800);
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

// Whatever a run throws that nothing caught ends in one diagnostic and the
// tool's status for trouble (the comparisons give 2), never in terminate().
TEST(ToolMain, EscapedExceptionsEndInOneDiagnostic) {
    const std::string kept_name = program_name();
    char name[] = "tool";
    char* argv[] = {name, nullptr};
    const struct {
        ToolRun run;
        int trouble;
        const char* message;
    } cases[] = {
        {[](int, char**) -> int { throw std::runtime_error("broken"); }, 1, ": Fatal error: broken\n"},
        {[](int, char**) -> int { throw std::out_of_range("index"); }, 2, ": Fatal error: index\n"},
        {[](int, char**) -> int { throw 7; }, 1, ": Fatal error: an unknown exception\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        testing::internal::CaptureStderr();
        EXPECT_EQ(tool_main(1, argv, c.run, c.trouble), c.trouble);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(err.ends_with(c.message)) << err;
        EXPECT_EQ(split_lines(err).size(), 1u) << err;
    }
    set_program_name(kept_name.c_str());
}
