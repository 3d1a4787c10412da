// Output files are replaced like fopen "w" replaces them, also when the
// process ends while one is open.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    FILE* f = open_output(path.c_str());
    ASSERT_NE(f, nullptr);
    write_all(f, "new\n");
    EXPECT_EQ(close_output(f), 1);
    EXPECT_EQ(read_file(path), "new\n");
}

TEST(OutputFile, EmptyOutputAndNewFiles) {
    TempDir dir;
    const std::string path = dir.file("r.txt");
    write_file(path, std::string("old"));
    FILE* f = open_output(path.c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(close_output(f), 1);
    EXPECT_EQ(read_file(path), "");
    f = open_output(dir.file("fresh.txt").c_str());
    ASSERT_NE(f, nullptr);
    write_all(f, std::string(300000, 'x'));
    EXPECT_EQ(close_output(f), 1);
    EXPECT_EQ(read_file(dir.file("fresh.txt")), std::string(300000, 'x'));
}

TEST(OutputFile, WritesThroughLinksAndDevices) {
    TempDir dir;
    write_file(dir.file("target"), std::string(1000, 't'));
    ASSERT_EQ(symlink(dir.file("target").c_str(), dir.file("link").c_str()), 0);
    FILE* f = open_output(dir.file("link").c_str());
    ASSERT_NE(f, nullptr);
    write_all(f, "via link");
    EXPECT_EQ(close_output(f), 1);
    EXPECT_EQ(read_file(dir.file("target")), "via link");
    f = open_output("/dev/null");
    ASSERT_NE(f, nullptr);
    write_all(f, "gone");
    EXPECT_EQ(close_output(f), 1);
}

TEST(OutputFile, CannotBeCreated) {
    TempDir dir;
    errno = 0;
    EXPECT_EQ(open_output(dir.path().c_str()), nullptr);
    EXPECT_EQ(errno, EISDIR);
    EXPECT_EQ(open_output(dir.file("no/such").c_str()), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

TEST(OutputFile, AbandonedFileHoldsWhatWasWritten) {
    TempDir dir;
    const std::string path = dir.file("r.txt");
    write_file(path, std::string(5000, 'o'));
    FILE* f = open_output(path.c_str());
    ASSERT_NE(f, nullptr);
    write_all(f, "partial");
    abandon_output(f);
    EXPECT_EQ(read_file(path), "partial");
}

TEST(OutputFileDeathTest, FatalExitLeavesWhatWasWritten) {
    TempDir dir;
    const std::string path = dir.file("r.txt");
    write_file(path, std::string(5000, 'o'));
    EXPECT_EXIT(
        {
            FILE* f = open_output(path.c_str());
            write_all(f, "header\n");
            fatal("Fatal error in fread():");
        },
        ::testing::ExitedWithCode(1), "Fatal error in fread");
    EXPECT_EQ(read_file(path), "header\n");
}
