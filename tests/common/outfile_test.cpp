// Output files are created or truncated when they are opened, as fopen "w"
// does, and hold what was written also when the process ends while one is open;
// data files written whole replace the old file only when they are complete.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>
#include <string>

#include "common/diag.h"
#include "common/outfile.h"
#include "common/wholefile.h"
#include "tests/support/test_util.h"

namespace {

void write_all(FILE* f, const std::string& s) { fwrite(s.data(), 1, s.size(), f); }

// The folder's file r.txt, holding what an earlier run wrote.
std::string earlier_file(const TempDir& dir, const std::string& content) {
    const std::string path = dir.file("r.txt");
    write_file(path, content);
    return path;
}

}  // namespace

TEST(OutputFile, ReplacesALongerFile) {
    TempDir dir;
    const std::string path = earlier_file(dir, std::string(200000, 'o'));
    common::OutputFile f;
    ASSERT_TRUE(f.open(path.c_str()));
    EXPECT_EQ(read_file(path), "");  // truncated when opened
    write_all(f.stream(), "new\n");
    EXPECT_TRUE(f.close());
    EXPECT_EQ(read_text_file(path), "new\n");
}

TEST(OutputFile, EmptyOutputAndNewFiles) {
    TempDir dir;
    const std::string path = earlier_file(dir, "old");
    common::OutputFile f;
    ASSERT_TRUE(f.open(path.c_str()));
    EXPECT_TRUE(f.close());
    EXPECT_EQ(read_file(path), "");
    common::OutputFile fresh;
    ASSERT_TRUE(fresh.open(dir.file("fresh.txt").c_str()));
    write_all(fresh.stream(), std::string(300000, 'x'));
    EXPECT_TRUE(fresh.close());
    EXPECT_EQ(read_text_file(dir.file("fresh.txt")), std::string(300000, 'x'));
}

TEST(OutputFile, WritesThroughLinksAndDevices) {
    TempDir dir;
    write_file(dir.file("target"), std::string(1000, 't'));
    MAKE_SYMLINK(dir.file("target"), dir.file("link"));
    common::OutputFile f;
    ASSERT_TRUE(f.open(dir.file("link").c_str()));
    write_all(f.stream(), "via link");
    EXPECT_TRUE(f.close());
    EXPECT_EQ(read_text_file(dir.file("target")), "via link");
    common::OutputFile null;
    ASSERT_TRUE(null.open("/dev/null"));
    write_all(null.stream(), "gone");
    EXPECT_TRUE(null.close());
}

TEST(OutputFile, CannotBeCreated) {
    TempDir dir;
    common::OutputFile f;
    errno = 0;
    EXPECT_FALSE(f.open(dir.path().c_str()));
    EXPECT_EQ(errno, kIsDirectoryErrno);
    EXPECT_FALSE(f.open(dir.file("no/such").c_str()));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(f.stream(), nullptr);
}

TEST(OutputFile, AbandonedFileHoldsWhatWasWritten) {
    TempDir dir;
    const std::string path = earlier_file(dir, std::string(5000, 'o'));
    {
        common::OutputFile f;
        ASSERT_TRUE(f.open(path.c_str()));
        write_all(f.stream(), "partial");
    }
    EXPECT_EQ(read_text_file(path), "partial");
}

TEST(OutputFileDeathTest, FatalExitLeavesWhatWasWritten) {
    SKIP_ON_WINDOWS("a death test on Windows runs in a new process with its own temporary directory");
    TempDir dir;
    const std::string path = earlier_file(dir, std::string(5000, 'o'));
    EXPECT_EXIT(
        {
            common::OutputFile f;
            f.open(path.c_str());
            write_all(f.stream(), "header\n");
            common::fatal("Fatal error in fread():");
        },
        ::testing::ExitedWithCode(1), "Fatal error in fread");
    EXPECT_EQ(read_text_file(path), "header\n");
}

namespace {

// Writes "new" whole at path, or abandons the file when complete is false.
bool write_new(const std::string& path, bool complete) {
    return common::write_whole_file(path.c_str(), common::OutputMode::kBinary, [complete](FILE* f) {
        write_all(f, "new");
        errno = EINVAL;
        return complete;
    });
}

}  // namespace

// A data file written whole replaces the old one only once it is complete;
// a failed one leaves the old file and no temporary file behind.
TEST(WholeFile, ReplacesOnlyWhenComplete) {
    TempDir dir;
    const std::string path = dir.file("d.csv");
    write_file(path, std::string("old"));
#ifndef _WIN32
    chmod(path.c_str(), 0640);
#endif
    EXPECT_FALSE(write_new(path, false));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(read_file(path), "old");
    EXPECT_EQ(list_dir(dir.path()), std::vector<std::string>{"d.csv"});
    EXPECT_TRUE(write_new(path, true));
    EXPECT_EQ(read_file(path), "new");
    EXPECT_EQ(list_dir(dir.path()), std::vector<std::string>{"d.csv"});
#ifndef _WIN32
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // replacing widens no access
#endif
    const std::string bytes("\0\r\n\x1A", 4);
    EXPECT_TRUE(common::write_whole_file(dir.file("fresh.bin").c_str(), bytes.data(), bytes.size()));
    EXPECT_EQ(read_file(dir.file("fresh.bin")), bytes);
    EXPECT_FALSE(write_new(dir.file("no/such"), true));
    EXPECT_EQ(errno, ENOENT);
}

// What is not a regular file is written through; a file that may not be
// written is refused and kept.
TEST(WholeFile, WritesThroughLinksAndRefusesProtectedFiles) {
    TempDir dir;
    write_file(dir.file("target"), std::string(1000, 't'));
    const std::string protected_file = dir.file("kept");
    write_file(protected_file, std::string("old"));
    make_read_only(protected_file);
    if (FILE* f = fopen(protected_file.c_str(), "a")) {
        fclose(f);  // root, and Wine run by root, write to write-protected files
    } else {
        EXPECT_FALSE(write_new(protected_file, true));
        EXPECT_EQ(errno, EACCES);
        EXPECT_EQ(read_file(protected_file), "old");
    }
    MAKE_SYMLINK(dir.file("target"), dir.file("link"));
    EXPECT_TRUE(write_new(dir.file("link"), true));
    EXPECT_EQ(read_file(dir.file("target")), "new");
    EXPECT_EQ(list_dir(dir.path()), (std::vector<std::string>{"kept", "link", "target"}));
#ifndef _WIN32
    EXPECT_TRUE(write_new("/dev/null", true));
#endif
}
