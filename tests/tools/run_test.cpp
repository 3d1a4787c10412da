// Both analyzers run end to end: the report files and their contents,
// destinations, the help, command-line errors, images that cannot be read,
// reports that cannot be written and the exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/driver.h"
#include "tests/tools/game_layouts.h"

namespace {

class AnalyzerRun : public ::testing::TestWithParam<const GameLayout*> {
protected:
    AnalyzerRun() { game().run_image().write(image_); }

    const GameLayout& game() const { return *GetParam(); }

    RunResult run(const std::vector<std::string>& args) {
        return run_tool(game().tool, args, dir_.path(), game().name);
    }

    std::string make_dir(const std::string& name) {
        const std::string path = dir_.file(name);
        std::filesystem::create_directories(path);
        return path;
    }

    std::string warning(const std::string& path, int error) const {
        return std::string(game().name) + ": Cannot create file - " + path + ": " + strerror(error) + "\n";
    }

    // Every report in the directory has its distinguishing line and length.
    void expect_reports(const std::string& dir) {
        EXPECT_EQ(list_dir(dir), sorted_reports(game()));
        for (const ReportShape& r : game().reports) {
            const auto rows = split_lines(read_text_file(dir + "/" + r.file));
            ASSERT_EQ(static_cast<long>(rows.size()), r.lines) << r.file;
            EXPECT_EQ(rows[r.line], r.text) << r.file;
        }
    }

    long lines_of(const std::string& dir, size_t report) {
        return static_cast<long>(split_lines(read_text_file(dir + "/" + game().reports[report].file)).size());
    }

    TempDir dir_;
    std::string image_ = dir_.file("image.smc");
};

}  // namespace

TEST_P(AnalyzerRun, EveryReportInTheDestination) {
    const std::string out = make_dir("out");
    const RunResult r = run({image_, out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    expect_reports(out);
}

TEST_P(AnalyzerRun, CurrentDirectoryWithoutDestination) {
    const std::string cwd = make_dir("cwd");
    const RunResult r = run_tool(game().tool, {image_}, cwd, game().name);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    expect_reports(cwd);
}

TEST_P(AnalyzerRun, DestinationsWithAndWithoutBackslash) {
    const std::string out = make_dir("out");
    for (const char* dest : {"out", "out\\"}) {
        std::filesystem::remove_all(out);
        make_dir("out");
        const RunResult r = run({image_, dest});
        EXPECT_EQ(r.status, 0) << dest;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(list_dir(out), sorted_reports(game())) << dest;
    }
    make_dir("a/b");
    EXPECT_EQ(run({image_, "a\\b\\"}).status, 0);
    EXPECT_EQ(list_dir(dir_.file("a/b")), sorted_reports(game()));
    // The first path is the image, whatever it ends in.
    const RunResult r = run({"out\\", image_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().name) + ": Invalid ROM-Image file - out\\\n");
}

TEST_P(AnalyzerRun, MissingDestinationWarnsForEveryReportInOrder) {
    const RunResult r = run({image_, "missing"});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    for (const ReportShape& s : game().reports) expected += warning(std::string("missing/") + s.file, ENOENT);
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(file_exists(dir_.file("missing")));
}

TEST_P(AnalyzerRun, MissingImageWritesNothing) {
    const std::string out = make_dir("out");
    const RunResult r = run({dir_.file("none.smc"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().name) + ": Invalid ROM-Image file - " + dir_.file("none.smc") + "\n");
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_P(AnalyzerRun, TruncatedImageEndsBeforeAnyReport) {
    game().run_image().write_truncated(image_, game().cut_length);
    const std::string out = make_dir("out");
    const RunResult r = run({image_, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().name) + ": Fatal error in fread(): Unexpected end of file\n");
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_P(AnalyzerRun, HelpWinsOverPaths) {
    const std::string out = make_dir("out");
    for (const std::vector<std::string>& args : {std::vector<std::string>{image_, out, "-h"}, {image_, "-h", out}}) {
        const RunResult r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, game().help);
    }
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_P(AnalyzerRun, CommandLineErrors) {
    RunResult r = run({});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().name) + ": Too few arguments\n");
    const std::string out = make_dir("out");
    for (const std::vector<std::string>& args : {std::vector<std::string>{image_, out, "-x"}, {"-x", image_}}) {
        r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, std::string(game().name) + ": Invalid option\n");
    }
    EXPECT_TRUE(list_dir(out).empty());
    EXPECT_EQ(list_dir(dir_.path()), (std::vector<std::string>{"image.smc", "out"}));
}

// A report that cannot be created (its path is a directory) costs that report
// only.
TEST_P(AnalyzerRun, UncreatableReportCostsOnlyItself) {
    const std::string out = make_dir("out");
    make_dir(std::string("out/") + game().reports[3].file);
    const RunResult r = run({image_, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warning(out + "/" + game().reports[3].file, kIsDirectoryErrno));
    EXPECT_EQ(list_dir(out), sorted_reports(game()));
    EXPECT_EQ(lines_of(out, 4), game().reports[4].lines);
}

TEST_P(AnalyzerRun, WriteProtectedReportCostsOnlyItself) {
    const std::string out = make_dir("out");
    const std::string victim = out + "/" + game().reports[7].file;
    write_file(victim, "old");
    make_read_only(victim);
    // Root, and Wine run by root, write to write-protected files.
    if (FILE* f = fopen(victim.c_str(), "a")) {
        fclose(f);
        GTEST_SKIP() << "this user writes to write-protected files";
    }
    const RunResult r = run({image_, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warning(victim, EACCES));
    EXPECT_EQ(read_file(victim), "old");
    EXPECT_EQ(list_dir(out), sorted_reports(game()));
}

// A report path that leads to the image itself is never opened for writing.
TEST_P(AnalyzerRun, ReportPathNamingTheImageLeavesItUnchanged) {
    const std::string out = make_dir("out");
    ASSERT_EQ(make_other_name(image_, out + "/" + game().reports[0].file), 0);
    const std::string before = read_file(image_);
    const RunResult r = run({image_, "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warning(std::string("out/") + game().reports[0].file, EBUSY));
    EXPECT_TRUE(read_file(image_) == before);
    EXPECT_EQ(list_dir(out), sorted_reports(game()));
    EXPECT_EQ(lines_of(out, 1), game().reports[1].lines);
    EXPECT_EQ(lines_of(out, game().reports.size() - 1), game().reports.back().lines);
}

// A report that cannot be completely written counts as not created.
TEST_P(AnalyzerRun, IncompleteReportIsAFailure) {
    if (!have_dev_full()) GTEST_SKIP() << "no /dev/full";
    const std::string out = make_dir("out");
    for (size_t victim : {size_t{5}, size_t{6}}) {  // the action report, and the report after it
        std::filesystem::remove_all(out);
        make_dir("out");
        const std::string path = out + "/" + game().reports[victim].file;
        MAKE_SYMLINK("/dev/full", path);
        const RunResult r = run({image_, out});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, warning(path, ENOSPC));
        EXPECT_EQ(list_dir(out), sorted_reports(game()));
        EXPECT_EQ(lines_of(out, victim + 1), game().reports[victim + 1].lines);
        EXPECT_EQ(lines_of(out, game().reports.size() - 1), game().reports.back().lines);
    }
}

// Report paths longer than 1023 characters are never cut: those reports are
// not written, while one whose path has exactly 1023 characters is.
TEST_P(AnalyzerRun, OverlongReportPathsAreRefusedWhole) {
    SKIP_ON_WINDOWS("Windows opens no path longer than 260 characters (MAX_PATH)");
    const std::string dest = deep_path(dir_.path(), game().long_destination);
    std::filesystem::create_directories(dest);
    const RunResult r = run({image_, dest});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    std::vector<std::string> written;
    bool exact = false;
    for (const ReportShape& s : game().reports) {
        const std::string path = dest + "/" + s.file;
        if (path.size() > 1023) expected += warning(path, ENAMETOOLONG);
        if (path.size() <= 1023) written.emplace_back(s.file);
        exact = exact || path.size() == 1023;
    }
    std::sort(written.begin(), written.end());
    EXPECT_TRUE(exact);
    EXPECT_FALSE(written.empty());
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(list_dir(dest), written);
}

// A path argument that does not fit its slot is refused whole: neither the
// image named by its first 1023 characters nor the current directory is used.
TEST_P(AnalyzerRun, OverlongArgumentsTouchNoFile) {
    SKIP_ON_WINDOWS("Windows opens no path longer than 260 characters (MAX_PATH)");
    const std::string out = make_dir("out");
    const std::string image = deep_path(dir_.file("deep"), 1023);
    game().run_image().write(image);
    const std::string too_long = std::string(": ") + strerror(ENAMETOOLONG) + "\n";
    RunResult r = run({image + "x", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().name) + ": Invalid ROM-Image file - " + image + "x" + too_long);
    EXPECT_TRUE(list_dir(out).empty());
    const std::string dst(1022, 'o');
    r = run({image_, dst});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(game().name) + ": Cannot create file - " + dst + too_long);
    EXPECT_EQ(list_dir(dir_.path()), (std::vector<std::string>{"deep", "image.smc", "out"}));
}

// The expectations above, the README's counts and the manual page's file list
// are those of the game's table of reports.
TEST_P(AnalyzerRun, ReportShapesFollowTheTableOfReports) {
    std::vector<std::string> shapes;
    for (const ReportShape& s : game().reports) shapes.emplace_back(s.file);
    EXPECT_EQ(shapes, game().table);
}

namespace {

// The phrase with its "%s" replaced by the count in words.
std::string with_count(const char* phrase, size_t count) {
    std::string text = phrase;
    return text.replace(text.find("%s"), 2, common::count_in_words(count));
}

}  // namespace

// The README and the generated manual pages have LF line ends on every
// platform, so they are read as the bytes they are.
TEST_P(AnalyzerRun, ReadmeCountsTheReportsOfTheTable) {
    const std::string readme = read_file(MT_README);
    EXPECT_NE(readme.find(with_count(game().readme_phrase, game().table.size())), std::string::npos)
        << with_count(game().readme_phrase, game().table.size());
}

TEST_P(AnalyzerRun, ManualPageListsTheTableOfReports) {
    const std::string page = read_file(std::string(MT_MAN_PAGES_DIR) + "/" + game().name + ".1");
    EXPECT_NE(page.find(with_count("The %s reports, in the order in which they are written:\n", game().table.size())),
              std::string::npos);
    size_t at = 0;
    for (const std::string& file : game().table) {
        at = page.find(".TP\n.B " + file + "\n", at);
        ASSERT_NE(at, std::string::npos) << file;
    }
    EXPECT_EQ(page.find("@MT_REPORT"), std::string::npos);
}

TEST(AnalyzerReadme, DemoTableCountsTheReportsOfBothTables) {
    const std::string counts = "the " + std::to_string(game_a_layout().table.size()) + " and " +
                               std::to_string(game_b_layout().table.size()) + " reports of the two analyzers";
    EXPECT_NE(read_file(MT_README).find(counts), std::string::npos) << counts;
}

INSTANTIATE_TEST_SUITE_P(Games, AnalyzerRun, ::testing::Values(&game_a_layout(), &game_b_layout()),
                         [](const auto& info) { return std::string(info.param == &game_a_layout() ? "GameA" : "GameB"); });

TEST(GameARun, CopierHeaderMovesEveryTable) {
    const GameLayout& game = game_a_layout();
    TempDir dir;
    game.run_image().copier(512, 0xEE).write(dir.file("image.smc"));
    ASSERT_EQ(::make_dir(dir.file("out")), 0);
    const RunResult r = run_tool(game.tool, {dir.file("image.smc"), dir.file("out")});
    EXPECT_EQ(r.status, 0);
    for (const ReportShape& s : game.reports) {
        EXPECT_EQ(split_lines(read_text_file(dir.file("out/") + s.file))[s.line], s.text) << s.file;
    }
}
