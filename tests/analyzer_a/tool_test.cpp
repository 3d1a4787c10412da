// mt2analyzer run end to end: report files and their names, destinations,
// warnings, fatal errors and the exit status.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analyzer_a/characters.h"
#include "analyzer_a/formations.h"
#include "analyzer_a/items.h"
#include "analyzer_a/monsters.h"
#include "analyzer_a/techniques.h"
#include "common/block.h"
#include "tests/support/report_fixture.h"

using namespace mt2_test;

namespace {

const std::string kTool = MT2ANALYZER;

// The reports in the order they are written.
const std::vector<std::string> kReports = {
    "mt2monparam.txt",    "mt2monregist.txt",     "mt2monflag.txt",       "mt2monitem.txt",
    "mt2monequip.txt",    "mt2monact.txt",        "mt2chrparam.txt",      "mt2chrflag.txt",
    "mt2chrspparam.txt",  "mt2chrspflag.txt",     "mt2chrlvup.txt",       "mt2itemparam.txt",
    "mt2itemregist.txt",  "mt2itemeffect.txt",    "mt2techlearnflag.txt", "mt2techlearndata.txt",
    "mt2techevadedata.txt", "mt2formdata.txt",
};

std::vector<std::string> sorted_reports() {
    std::vector<std::string> names = kReports;
    std::sort(names.begin(), names.end());
    return names;
}

std::string warning(const std::string& path, int error) {
    return kTool + ": Cannot create file - " + path + ": " + strerror(error) + "\n";
}

class ToolTest : public ReportTest {
protected:
    ToolTest() {
        // Some values in every family, so that a report written from the
        // wrong block would show.
        rom_.put(0x1DCC80, game_text({0x8E, 0xA8, 0x83, 0xA2}, 8));  // monster 0
        rom_.put(0x1E7700, {0xF3, 0x10, 0x27, 20, 10, 1, 2, 3, 4, 5, 6, 7});
        rom_.put(0x1DC400, game_text({0x8F, 0xE5, 0xA6}, 8));  // character 0
        rom_.put(0x1E0CC0, {0x12, 0x34, 0x56, 0x78, 9, 3, 0xA8, 0x94, 0x9C});
        rom_.put(0x1E16C0, {0x21, 0x11, 0x22, 0x33, 44, 2, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6});
        rom_.put(0x1E2527, {0x10, 0x27});
        rom_.put(0x1DBA00, game_text({0x51, 0x52}, 10));  // item 0
        rom_.put(0x1D86B0, {0x64, 0x00}).put(0x1E0000, {50, 3, 11, 255});
        rom_.put(0x1DD680 + 110, game_text({0xFC}, 10));  // technique 11
        rom_.put(0x1E2AEF, {11, 1, 0, 9, 0xFF});
        rom_.put(0x1E7512, {0, 0x3F, 0x85});
        rom_.write(image_);
    }

    // Runs the tool with the image and the further arguments in the test
    // directory.
    RunResult run(const std::vector<std::string>& args) {
        std::vector<std::string> all{image_};
        all.insert(all.end(), args.begin(), args.end());
        return run_tool(kTool, all, dir_.path());
    }

    std::string make_dir(const std::string& name) {
        const std::string path = dir_.file(name);
        std::filesystem::create_directories(path);
        return path;
    }

    // Every report as the writers make it from this image in process.
    std::vector<std::string> reports_in_process() {
        open();
        BlockPtr<mt2::MonsterRecord> monsters(mt2::load_monsters());
        BlockPtr<mt2::CharacterRecord> characters(mt2::load_characters());
        BlockPtr<mt2::SpecialCharacterRecord> specials(mt2::load_special_characters());
        BlockPtr<int32_t> levels(mt2::load_level_tables());
        BlockPtr<mt2::ItemRecord> items(mt2::load_items());
        BlockPtr<TechRecord> techs(mt2::load_techs());
        BlockPtr<TechLearning> learning(mt2::load_tech_learning());
        BlockPtr<FormationEntry> formations(mt2::load_formations());
        std::vector<std::string> texts = {
            report(mt2::write_monparam, monsters.get()),       report(mt2::write_monregist, monsters.get()),
            report(mt2::write_monflag, monsters.get()),        report(mt2::write_monitem, monsters.get()),
            report(mt2::write_monequip, monsters.get()),       report(mt2::write_monact, monsters.get()),
            report(mt2::write_chrparam, characters.get()),     report(mt2::write_chrflag, characters.get()),
            report(mt2::write_chrspparam, specials.get()),     report(mt2::write_chrspflag, specials.get()),
            report(mt2::write_chrlvup, levels.get()),          report(mt2::write_item_param, items.get()),
            report(mt2::write_item_regist, items.get()),       report(mt2::write_item_effect, items.get()),
            report(mt2::write_tech_learn_flag, techs.get()),   report(mt2::write_tech_learn_data, learning.get()),
            report(mt2::write_tech_evade_data, techs.get()),   report(mt2::write_formdata, formations.get()),
        };
        free_tech_learning(learning.get());
        return texts;
    }

    void expect_reports_in(const std::string& directory) {
        const std::vector<std::string> texts = reports_in_process();
        for (size_t r = 0; r < kReports.size(); ++r) {
            EXPECT_EQ(read_file(directory + "/" + kReports[r]), texts[r]) << kReports[r];
        }
    }

    std::string image_ = dir_.file("rom.smc");
};

}  // namespace

TEST_F(ToolTest, WritesTheEighteenReportsIntoTheDestination) {
    const std::string out = make_dir("out");
    const RunResult r = run({out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(list_dir(out), sorted_reports());
    expect_reports_in(out);
    EXPECT_EQ(split_lines(read_file(out + "/mt2chrlvup.txt"))[2], " 1:  10000");
}

TEST_F(ToolTest, WritesIntoTheCurrentDirectoryWithoutDestination) {
    const std::string cwd = make_dir("cwd");
    const RunResult r = run_tool(kTool, {image_}, cwd);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(list_dir(cwd), sorted_reports());
    expect_reports_in(cwd);
}

TEST_F(ToolTest, DestinationWithAndWithoutBackslash) {
    const std::string out = make_dir("out");
    RunResult r = run({"out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(list_dir(out), sorted_reports());
    std::filesystem::remove_all(out);
    make_dir("out");
    r = run({"out\\"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(list_dir(out), sorted_reports());
    make_dir("a/b");
    r = run({"a\\b\\"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(list_dir(dir_.file("a/b")), sorted_reports());
}

TEST_F(ToolTest, CopierHeaderMovesEveryTable) {
    rom_.copier(512, 0xEE);
    rom_.write(image_);
    const std::string out = make_dir("out");
    const RunResult r = run({out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(split_lines(read_file(out + "/mt2chrlvup.txt"))[2], " 1:  10000");
    EXPECT_EQ(split_lines(read_file(out + "/mt2monflag.txt"))[1], "000(000): スライム         :  ○   ○   ○   ○  巨人");
    EXPECT_EQ(split_lines(read_file(out + "/mt2techlearndata.txt"))[0], "[No.011(0B): 剣]");
}

TEST_F(ToolTest, MissingDestinationWarnsForEveryReportInOrder) {
    const RunResult r = run({"missing"});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    for (const std::string& name : kReports) expected += warning("missing/" + name, ENOENT);
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(r.out, "");
}

TEST_F(ToolTest, MissingImageWritesNothing) {
    const std::string cwd = make_dir("cwd");
    const RunResult r = run_tool(kTool, {dir_.file("none.smc"), cwd}, cwd);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kTool + ": Invalid ROM-Image file - " + dir_.file("none.smc") + "\n");
    EXPECT_TRUE(list_dir(cwd).empty());
}

TEST_F(ToolTest, TruncatedImageEndsBeforeAnyReport) {
    // One byte short of the end of the highest table (the action patterns).
    rom_.write_truncated(image_, 0x1EA6FF);
    const std::string out = make_dir("out");
    const RunResult r = run({out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(kTool + ": Fatal error in fread(): ", 0), 0u) << r.err;
    EXPECT_EQ(split_lines(r.err).size(), 1u);
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_F(ToolTest, HelpWinsOverPaths) {
    const std::string out = make_dir("out");
    const RunResult r = run({out, "-h"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "mt2analyzer - MERIDIAN TALES2 data table analyzer\n" + kTool +
                         ": [option] src-pathname [dst-pathname]\n\t-h\tdisplay this help and exit\n\n");
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_F(ToolTest, CommandLineErrors) {
    RunResult r = run_tool(kTool, {}, dir_.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kTool + ": Too few arguments\n");
    const std::string out = make_dir("out");
    r = run({out, "-x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kTool + ": Invalid option\n");
    EXPECT_TRUE(list_dir(out).empty());
}

// A report that cannot be created (its path is a directory) costs that report
// only.
TEST_F(ToolTest, UncreatableReportCostsOnlyItself) {
    const std::string out = make_dir("out");
    make_dir("out/mt2monitem.txt");
    const RunResult r = run({out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warning(out + "/mt2monitem.txt", EISDIR));
    EXPECT_EQ(list_dir(out), sorted_reports());
    EXPECT_EQ(split_lines(read_file(out + "/mt2monequip.txt")).size(), 321u);
}

TEST_F(ToolTest, WriteProtectedReportCostsOnlyItself) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes to write-protected files";
    const std::string out = make_dir("out");
    write_file(out + "/mt2chrflag.txt", "old");
    chmod((out + "/mt2chrflag.txt").c_str(), 0444);
    const RunResult r = run({out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warning(out + "/mt2chrflag.txt", EACCES));
    EXPECT_EQ(read_file(out + "/mt2chrflag.txt"), "old");
    EXPECT_EQ(list_dir(out), sorted_reports());
}

// A report path that leads to the image itself is never opened for writing.
TEST_F(ToolTest, ReportPathNamingTheImageLeavesItUnchanged) {
    const std::string out = make_dir("out");
    ASSERT_EQ(symlink(image_.c_str(), (out + "/mt2monparam.txt").c_str()), 0);
    const std::string before = read_file(image_);
    const RunResult r = run({out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warning(out + "/mt2monparam.txt", EBUSY));
    EXPECT_TRUE(read_file(image_) == before);
    EXPECT_EQ(list_dir(out), sorted_reports());
    EXPECT_EQ(split_lines(read_file(out + "/mt2monregist.txt")).size(), 321u);
}

// Report paths longer than 1023 characters are never cut: those reports are
// not written, while one whose path has exactly 1023 characters is.
TEST_F(ToolTest, OverlongReportPathsAreRefusedWhole) {
    const std::string deep = deep_path(dir_.path(), 1009);
    std::filesystem::create_directories(deep);
    const RunResult r = run({deep});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    for (const std::string& name : kReports) {
        if (name != "mt2monact.txt") expected += warning(deep + "/" + name, ENAMETOOLONG);
    }
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(list_dir(deep), std::vector<std::string>{"mt2monact.txt"});
    EXPECT_EQ((deep + "/mt2monact.txt").size(), 1023u);
}

// A report that cannot be completely written counts as not created.
TEST_F(ToolTest, IncompleteReportIsAFailure) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    const std::string out = make_dir("out");
    ASSERT_EQ(symlink("/dev/full", (out + "/mt2chrparam.txt").c_str()), 0);
    const RunResult r = run({out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warning(out + "/mt2chrparam.txt", ENOSPC));
    EXPECT_EQ(list_dir(out), sorted_reports());
    EXPECT_EQ(split_lines(read_file(out + "/mt2chrflag.txt")).size(), 257u);
}

// A path argument that does not fit its slot is refused whole: neither the
// image named by its first 1023 characters nor the current directory is used.
TEST_F(ToolTest, OverlongArgumentsTouchNoFile) {
    const std::string out = make_dir("out");
    const std::string image = deep_path(dir_.file("deep"), 1023);
    rom_.write(image);
    const std::string too_long = std::string(": ") + strerror(ENAMETOOLONG) + "\n";
    RunResult r = run_tool(kTool, {image + "x", out}, dir_.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kTool + ": Invalid ROM-Image file - " + image + "x" + too_long);
    EXPECT_TRUE(list_dir(out).empty());
    const std::string dst(1022, 'o');
    r = run({dst});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kTool + ": Cannot create file - " + dst + too_long);
    EXPECT_EQ(list_dir(dir_.path()), (std::vector<std::string>{"deep", "out", "rom.smc"}));
}
