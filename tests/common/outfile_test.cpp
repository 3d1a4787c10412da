// Output files are created or truncated when they are opened, as fopen "w"
// does, and hold what was written also when the process ends while one is open.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "common/diag.h"
#include "common/outfile.h"
#include "tests/support/test_util.h"

namespace {

void write_all(FILE* f, const std::string& s) { fwrite(s.data(), 1, s.size(), f); }

}  // namespace

TEST(OutputFile, ReplacesALongerFile) {
    TempDir dir;
    const std::string path = dir.file("r.txt");
    write_file(path, std::string(200000, 'o'));
    OutputFile f;
    ASSERT_EQ(f.open(path.c_str()), 1);
    EXPECT_EQ(read_file(path), "");  // truncated when opened
    write_all(f.stream(), "new\n");
    EXPECT_EQ(f.close(), 1);
    EXPECT_EQ(read_text_file(path), "new\n");
}

TEST(OutputFile, EmptyOutputAndNewFiles) {
    TempDir dir;
    const std::string path = dir.file("r.txt");
    write_file(path, std::string("old"));
    OutputFile f;
    ASSERT_EQ(f.open(path.c_str()), 1);
    EXPECT_EQ(f.close(), 1);
    EXPECT_EQ(read_file(path), "");
    OutputFile fresh;
    ASSERT_EQ(fresh.open(dir.file("fresh.txt").c_str()), 1);
    write_all(fresh.stream(), std::string(300000, 'x'));
    EXPECT_EQ(fresh.close(), 1);
    EXPECT_EQ(read_text_file(dir.file("fresh.txt")), std::string(300000, 'x'));
}

TEST(OutputFile, WritesThroughLinksAndDevices) {
    TempDir dir;
    write_file(dir.file("target"), std::string(1000, 't'));
    MAKE_SYMLINK(dir.file("target"), dir.file("link"));
    OutputFile f;
    ASSERT_EQ(f.open(dir.file("link").c_str()), 1);
    write_all(f.stream(), "via link");
    EXPECT_EQ(f.close(), 1);
    EXPECT_EQ(read_text_file(dir.file("target")), "via link");
    OutputFile null;
    ASSERT_EQ(null.open("/dev/null"), 1);
    write_all(null.stream(), "gone");
    EXPECT_EQ(null.close(), 1);
}

TEST(OutputFile, CannotBeCreated) {
    TempDir dir;
    OutputFile f;
    errno = 0;
    EXPECT_EQ(f.open(dir.path().c_str()), 0);
    EXPECT_EQ(errno, kIsDirectoryErrno);
    EXPECT_EQ(f.open(dir.file("no/such").c_str()), 0);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(f.stream(), nullptr);
}

TEST(OutputFile, AbandonedFileHoldsWhatWasWritten) {
    TempDir dir;
    const std::string path = dir.file("r.txt");
    write_file(path, std::string(5000, 'o'));
    {
        OutputFile f;
        ASSERT_EQ(f.open(path.c_str()), 1);
        write_all(f.stream(), "partial");
    }
    EXPECT_EQ(read_text_file(path), "partial");
}

TEST(OutputFileDeathTest, FatalExitLeavesWhatWasWritten) {
    SKIP_ON_WINDOWS("a death test on Windows runs in a new process with its own temporary directory");
    TempDir dir;
    const std::string path = dir.file("r.txt");
    write_file(path, std::string(5000, 'o'));
    EXPECT_EXIT(
        {
            OutputFile f;
            f.open(path.c_str());
            write_all(f.stream(), "header\n");
            fatal("Fatal error in fread():");
        },
        ::testing::ExitedWithCode(1), "Fatal error in fread");
    EXPECT_EQ(read_text_file(path), "header\n");
}
