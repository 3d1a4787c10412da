// The core returns error values where the tools print a diagnostic and end:
// a program that runs many inputs in one process (a fuzzer, a page) gets the
// words the tools print and goes on. Memory that runs out is the shell's to
// report.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "common/diag.h"
#include "common/driver.h"
#include "common/learning.h"
#include "common/names.h"
#include "common/report.h"
#include "common/rom.h"
#include "common/tool_main.h"
#include "games/a/chartables.h"
#include "tests/support/test_util.h"

namespace {

class CoreErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        RomBuilder(0x100).write(image_);
        ASSERT_TRUE(rom_.open(image_.c_str(), "MERIDIAN TALES2      ", kSpan).ok());
    }

    static constexpr long kSpan = 0x2000;
    TempDir dir_;
    std::string image_ = dir_.file("short.smc");
    common::RomImage rom_;
};

constexpr common::NameTableKind kFarNames{0, {"names beyond the image", 0x1000, 8, 4}, &mt2::kCharTables};

// A run whose report looks up a name beyond the end of the image.
struct FarRun {
    const common::NameTables& names;
};

bool starts_with(const common::Error& error, const std::string& text) {
    return error.lines.size() == 1 && error.lines[0].starts_with(text) && error.status == 1;
}

}  // namespace

TEST_F(CoreErrorTest, ShortTableReadIsAnErrorValue) {
    const common::Result<common::RomTable> table = common::RomTable::read(rom_, 0xF0, 16, 4);
    ASSERT_FALSE(table.ok());
    EXPECT_TRUE(starts_with(table.error(), "Fatal error in fread(): ")) << table.error().lines.at(0);
    EXPECT_TRUE(common::RomTable::read(rom_, 0xF0, 16, 1).ok());  // the same image, a table that it holds
}

TEST_F(CoreErrorTest, OffsetBeforeTheFileIsTheErrorOfAFailedSeek) {
    const common::Result<const unsigned char*> bytes = rom_.bytes(-1, 1);
    ASSERT_FALSE(bytes.ok());
    EXPECT_TRUE(starts_with(bytes.error(), "Fatal error in fseek(): ")) << bytes.error().lines.at(0);
}

TEST_F(CoreErrorTest, NameTableBeyondTheImageReadsAsEmptyNames) {
    const common::NameTables names(rom_);
    EXPECT_STREQ(names.get(kFarNames, 0), "");
    EXPECT_STREQ(names.get(kFarNames, 3), "");
}

TEST_F(CoreErrorTest, ReportWithNamesBeyondTheImageIsWrittenWhole) {
    const std::string path = dir_.file("report.txt");
    write_file(path, std::string(1000, 'o'));
    static const common::ReportEntry<FarRun> kReports[] = {
        {"report.txt", "a header and a name beyond the image",
         [](common::ReportText& out, const FarRun& run) { out.str("header\n").str(run.names.get(kFarNames, 1)); }}};
    const common::NameTables names(rom_);
    EXPECT_TRUE(common::write_reports((dir_.path() + "/").c_str(), kReports, FarRun{names}, rom_));
    EXPECT_EQ(read_text_file(path), "header\n");
}

TEST_F(CoreErrorTest, TitleSearchThatFailsIsAnErrorValue) {
    SKIP_ON_WINDOWS("Windows opens no directory as a file, so the search never reads one");
    const common::Status opened = common::RomImage().open(dir_.path().c_str(), "MERIDIAN TALES2      ", kSpan);
    ASSERT_FALSE(opened.ok());  // reading a directory fails
    EXPECT_TRUE(starts_with(opened.error(), "Fatal error in fread(): ")) << opened.error().lines.at(0);
    const common::Status missing = common::RomImage().open(dir_.file("missing").c_str(), "MERIDIAN TALES2      ", kSpan);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().lines.at(0), "Invalid ROM-Image file - " + dir_.file("missing"));
}

TEST_F(CoreErrorTest, LearningListsBeyondTheImageThenWithinIt) {
    const common::Result<common::TechLearning> far = common::load_learning_lists(rom_, 0x000, 0x800);
    ASSERT_FALSE(far.ok());
    EXPECT_TRUE(starts_with(far.error(), "Fatal error in fread(): ")) << far.error().lines.at(0);
    RomBuilder(0x1000).put(0x000, {1, 2, 10, 1, 11, 2, 2, 1, 12, 3, 0xFF}).put(0x800, {3, 1, 13, 4, 0xFF}).write(image_);
    common::RomImage rom;
    ASSERT_TRUE(rom.open(image_.c_str(), "MERIDIAN TALES2      ", kSpan).ok());
    const common::Result<common::TechLearning> learning = common::load_learning_lists(rom, 0x000, 0x800);
    ASSERT_TRUE(learning.ok());
    ASSERT_EQ(learning->group_count, 3);
    EXPECT_EQ(learning->groups[1].key, 2);
    EXPECT_EQ(learning->groups[2].entries.at(0).tech, 13);
}

// Memory that runs out in the core throws std::bad_alloc; the shell ends the
// run with "Fatal error in malloc()" and status 1, never with a signal.
// (Windows builds name the program by the process's own command line, which
// the death test's child process does not share.)
#ifdef _WIN32
constexpr char kMallocDiagnostic[] = ": Fatal error in malloc\\(\\)\n$";
#else
constexpr char kMallocDiagnostic[] = "^tool: Fatal error in malloc\\(\\)\n$";
#endif
TEST(ToolMainDeathTest, MemoryThatRunsOutEndsInTheMallocDiagnostic) {
    char name[] = "tool";
    char* argv[] = {name, nullptr};
    EXPECT_EXIT(common::tool_main(1, argv, [](int, char**) -> int { throw std::bad_alloc(); }),
                ::testing::ExitedWithCode(1), kMallocDiagnostic);
}

// An error value reaches standard error as the tools' diagnostics: each line
// after the program name, the error's status returned.
TEST(ReportError, EachLineAfterTheProgramName) {
    const std::string kept_name = common::program_name();
    common::set_program_name("tool");
    common::Error error("first");
    error.lines.push_back("100% second:");
    error.status = 2;
    testing::internal::CaptureStderr();
    EXPECT_EQ(common::report_error(error), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "tool: first\ntool: 100% second:\n");
    common::set_program_name(kept_name.c_str());
}

// Whatever a run throws that nothing caught ends in one diagnostic and the
// tool's status for trouble (the comparisons give 2), never in terminate().
TEST(ToolMain, EscapedExceptionsEndInOneDiagnostic) {
    const std::string kept_name = common::program_name();
    char name[] = "tool";
    char* argv[] = {name, nullptr};
    const struct {
        common::ToolRun run;
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
        EXPECT_EQ(common::tool_main(1, argv, c.run, c.trouble), c.trouble);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(err.ends_with(c.message)) << err;
        EXPECT_EQ(split_lines(err).size(), 1u) << err;
    }
    common::set_program_name(kept_name.c_str());
}
