// mt3analyzer run end to end: the nineteen reports, destinations, and every
// way a run can fail.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "analyzer_b/driver.h"
#include "common/rom.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
const std::string kTool = MT3ANALYZER;

// The reports in the order the analyzer writes them, each with a line that
// only it has (line number and text) and its number of lines.
struct ReportShape {
    const char* name;
    size_t line;
    const char* text;
    size_t lines;
};

const ReportShape kReports[] = {
    {"mt3monparam.txt", 0,
     "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力 技LV 術LV 上LV 閃LV 防斬 防打 防突 防射 "
     "防熱 防冷 防雷 防状 盾防 回避",
     321},
    {"mt3monregist.txt", 0, "No.       名前               盾の防御属性      状態変化耐性", 321},
    {"mt3monflag.txt", 0, "No.       名前               男性 女性 不死 不明 耐水 耐投 耐音 耐凝 耐地 種族  回復", 321},
    {"mt3monitem.txt", 0,
     "No.       名前               お金   100%              高確率            中確率            低確率", 321},
    {"mt3monequip.txt", 0,
     "No.       名前               無刀1無刀2 武器1             武器2             盾                防具1             "
     "防具2",
     321},
    {"mt3monact.txt", 0, "[No.000(00): あ]", 6079},
    {"mt3monencmain.txt", 0, "[No.00(00): 骸骨]", 303},
    {"mt3monencsub.txt", 0, "[No.00(00): タイプ00]", 764},
    {"mt3monmisc.txt", 0, "No.       名前                サイズ", 321},
    {"mt3chrparam.txt", 0,
     "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力   剣   斧   槍   弓 体術 蒼龍 朱鳥 白虎 "
     "玄武 太陽   月 不明",
     49},
    {"mt3chrlvup.txt", 0,
     "No.       名前                 HP   WP   JP   剣   斧   槍   弓 体術 蒼龍 朱鳥 白虎 玄武 太陽   月    TYPE", 49},
    {"mt3chrflag.txt", 0,
     "No.       名前               男性 女性 不死 不明  HP   剣   斧   槍   弓  体術 地術 天術 不明  宿星  武器  術    "
     "閃TYPE",
     49},
    {"mt3itemparam.txt", 0, "No.      名前                 価格", 261},
    {"mt3itemregist.txt", 82, "No.      名前               防御属性", 261},
    {"mt3itemeffect.txt", 9, "No.      名前               武器固有技1           武器固有技2", 261},
    {"mt3techlearnflag.txt", 0,
     "No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 TY09 TY10 TY11 TY12 TY13 "
     "TY14 TY15",
     257},
    {"mt3techlearndata.txt", 0, "[No.003(03): い]", 3},
    {"mt3techevadedata.txt", 0, "No.       名前                   見切  難度", 257},
    {"mt3formdata.txt", 0, "[No.000(00): あい]", 255},
};
constexpr size_t kReportCount = std::size(kReports);

std::vector<std::string> sorted_report_names() {
    std::vector<std::string> names;
    for (const ReportShape& r : kReports) names.emplace_back(r.name);
    std::sort(names.begin(), names.end());
    return names;
}

// The warnings of a run whose every report fails, in report order.
std::string warnings(const std::string& prefix, int error) {
    std::string text;
    for (const ReportShape& r : kReports)
        text += "mt3analyzer: Cannot create file - " + prefix + r.name + ": " + strerror(error) + "\n";
    return text;
}

class AnalyzerRun : public ::testing::Test {
protected:
    AnalyzerRun() {
        put_name(rom_, kMonsterNames, 0, {0x51});          // あ
        put_name(rom_, kTechNames, 3, {0x52});             // い
        put_name(rom_, kFormationNames, 0, {0x51, 0x52});  // あい
        rom_.put(0x3E3A4B, {3, 1, 4, 5, 0xFF}).put(0x3E3F1B, {0xFF});
        rom_.write(image_);
    }

    RunResult run(const std::vector<std::string>& args) { return run_tool(kTool, args, dir_.path(), "mt3analyzer"); }

    std::string make_dir(const std::string& name) {
        const std::string path = dir_.file(name);
        EXPECT_EQ(mkdir(path.c_str(), 0755), 0);
        return path;
    }

    // Every report in the directory has its distinguishing line and length.
    void expect_reports(const std::string& dir) {
        for (const ReportShape& r : kReports) {
            const auto rows = split_lines(read_file(dir + "/" + r.name));
            ASSERT_EQ(rows.size(), r.lines) << r.name;
            EXPECT_EQ(rows[r.line], r.text) << r.name;
        }
    }

    RomBuilder rom_ = blank_image(kGameB);
    TempDir dir_;
    std::string image_ = dir_.file("image.smc");
};

}  // namespace

TEST_F(AnalyzerRun, NineteenReportsInTheDestination) {
    const std::string out = make_dir("out");
    const RunResult r = run({image_, "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(list_dir(out), sorted_report_names());
    expect_reports(out);
}

TEST_F(AnalyzerRun, BackslashEndsADestinationToo) {
    const std::string out = make_dir("out");
    const RunResult r = run({"out\\", image_});
    EXPECT_EQ(r.status, 1);  // out\ came first: it is the image path
    EXPECT_EQ(r.err, "mt3analyzer: Invalid ROM-Image file - out\\\n");
    const RunResult ok = run({image_, "out\\"});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.err, "");
    EXPECT_EQ(list_dir(out), sorted_report_names());
}

TEST_F(AnalyzerRun, CurrentDirectoryWithoutDestination) {
    const RunResult r = run({image_});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    auto expected = sorted_report_names();
    expected.push_back("image.smc");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(list_dir(dir_.path()), expected);
    expect_reports(dir_.path());
}

TEST_F(AnalyzerRun, MissingDestinationDirectory) {
    const RunResult r = run({image_, "nodir"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, warnings("nodir/", ENOENT));
    EXPECT_FALSE(file_exists(dir_.file("nodir")));
}

TEST_F(AnalyzerRun, MissingImage) {
    const std::string out = make_dir("out");
    const RunResult r = run({dir_.file("missing.smc"), "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mt3analyzer: Invalid ROM-Image file - " + dir_.file("missing.smc") + "\n");
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_F(AnalyzerRun, TruncatedImageEndsBeforeAnyReport) {
    const std::string out = make_dir("out");
    rom_.write_truncated(image_, kCopierSize + 0x3E0000);
    const RunResult r = run({image_, "out"});
    EXPECT_EQ(r.status, 1);
    const std::string prefix = "mt3analyzer: Fatal error in fread():";
    EXPECT_EQ(r.err.substr(0, prefix.size()), prefix);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_F(AnalyzerRun, HelpWinsOverPaths) {
    const std::string out = make_dir("out");
    const RunResult r = run({image_, "-h", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "mt3analyzer - MERIDIAN TALES3 data table analyzer\n"
              "mt3analyzer: [option] src-filename [dst-pathname]\n"
              "\t-h\tdisplay this help and exit\n"
              "\n");
    EXPECT_TRUE(list_dir(out).empty());
}

TEST_F(AnalyzerRun, CommandLineErrors) {
    RunResult r = run({});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mt3analyzer: Too few arguments\n");
    r = run({"-x", image_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mt3analyzer: Invalid option\n");
    EXPECT_EQ(list_dir(dir_.path()), std::vector<std::string>{"image.smc"});
}

TEST_F(AnalyzerRun, GameAImageIsReadFromRawFilePositions) {
    // Without the game-B title the image base is 0: the formation names are
    // read at file position 0x3D0000, which is rom offset 0x3D0000 - 512 here.
    RomBuilder game_a = RomBuilder(0x400000).header("MERIDIAN TALES2      ", 0x21).copier(kCopierSize);
    put_name(game_a, kFormationNames, 0, {0x82, 0x83});  // where the title would place it: アイ
    game_a.put(kFormationNames.offset - static_cast<long>(kCopierSize), game_text({0xAE}, 10));  // ン
    game_a.write(image_);
    const std::string out = make_dir("out");
    const RunResult r = run({image_, "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(split_lines(read_file(out + "/mt3formdata.txt"))[0], "[No.000(00): ン]");
}

TEST_F(AnalyzerRun, ReportPathNamingTheImageIsRefused) {
    const std::string out = make_dir("out");
    ASSERT_EQ(symlink(image_.c_str(), (out + "/mt3monparam.txt").c_str()), 0);
    const std::string before = read_file(image_);
    const RunResult r = run({image_, "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("mt3analyzer: Cannot create file - out/mt3monparam.txt: ") + strerror(EBUSY) + "\n");
    EXPECT_TRUE(read_file(image_) == before);
    EXPECT_EQ(list_dir(out), sorted_report_names());
    EXPECT_EQ(split_lines(read_file(out + "/mt3formdata.txt")).size(), 255u);
}

TEST_F(AnalyzerRun, ReportThatCannotBeWrittenCompletely) {
    if (!file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string out = make_dir("out");
    ASSERT_EQ(symlink("/dev/full", (out + "/mt3monact.txt").c_str()), 0);
    const RunResult r = run({image_, "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string("mt3analyzer: Cannot create file - out/mt3monact.txt: ") + strerror(ENOSPC) + "\n");
    EXPECT_EQ(split_lines(read_file(out + "/mt3monencmain.txt")).size(), 303u);
    EXPECT_EQ(split_lines(read_file(out + "/mt3formdata.txt")).size(), 255u);
}

TEST_F(AnalyzerRun, ReportPathsLongerThanTheBufferAreNotCut) {
    // A destination of 1005 characters: with its '/' the prefix has 1006, so
    // report names of up to 17 characters fit in 1023, the 20-character
    // technique report names do not.
    std::string dest = dir_.path();
    while (1005 - dest.size() > 250) {
        dest.append("/").append(200, 'd');
        ASSERT_EQ(mkdir(dest.c_str(), 0755), 0);
    }
    const size_t last = 1005 - dest.size() - 1;
    dest.append("/").append(last, 'e');
    ASSERT_EQ(mkdir(dest.c_str(), 0755), 0);
    ASSERT_EQ(dest.size(), 1005u);
    const RunResult r = run({image_, dest});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    for (const char* name : {"mt3techlearnflag.txt", "mt3techlearndata.txt", "mt3techevadedata.txt"})
        expected += "mt3analyzer: Cannot create file - " + dest + "/" + name + ": " + strerror(ENAMETOOLONG) + "\n";
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(list_dir(dest).size(), kReportCount - 3);
    EXPECT_TRUE(file_exists(dest + "/mt3itemeffect.txt"));  // 1023 characters
}

namespace {
class InProcessRun : public ReportTest {};

}  // namespace

TEST_F(InProcessRun, RunWritesEveryReportAndClosesTheImage) {
    open();
    const std::string out = path("out");
    ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
    EXPECT_EQ(mt3::run((out + "/").c_str()), 0);
    EXPECT_FALSE(rom_is_image(path("image.smc").c_str()));
    EXPECT_EQ(rom_image_base(), 0);
    EXPECT_EQ(list_dir(out), sorted_report_names());
}

TEST_F(InProcessRun, RunReportsFailureWhenAReportCannotBeCreated) {
    open();
    EXPECT_EQ(mt3::run((path("missing") + "/").c_str()), 1);
    EXPECT_FALSE(rom_is_image(path("image.smc").c_str()));
}
