// Both analyzers and both decoders run on the demo images and texts: every
// report is there with the number of lines its format gives for the demo
// tables, every row carries its monster's name, and the decoders give back
// the demo scripts. Keeps the demo from rotting as the tools change.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "demo/demo.h"
#include "games/a/demo.h"
#include "games/b/demo.h"
#include "tests/support/test_util.h"
#include "tools/demo_files.h"

using namespace demo;

namespace {

const std::string kMt2Analyzer = MT2ANALYZER;
const std::string kMt3Analyzer = MT3ANALYZER;
const std::string kMt2Decoder = MT2DECODER;
const std::string kMt3Decoder = MT3DECODER;

// Line counts: a header and one row per record; blocks of a fixed number of
// lines with one empty line between them.
int table(int headers, int rows) { return headers + rows; }
int blocks(int count, int lines) { return count * lines + count - 1; }

// The learning data report: per group its title, its header and its rows.
int learning_lines(const std::vector<LearnGroupPlan>& groups) {
    int lines = static_cast<int>(groups.size()) - 1;
    for (const LearnGroupPlan& g : groups) lines += 2 + static_cast<int>(g.entries.size());
    return lines;
}

std::map<std::string, int> game_a_reports(const DemoGame& game) {
    return {
        {"mt2monparam.txt", table(1, 320)},      {"mt2monregist.txt", table(1, 320)},
        {"mt2monflag.txt", table(1, 320)},       {"mt2monitem.txt", table(1, 320)},
        {"mt2monequip.txt", table(1, 320)},      {"mt2monact.txt", blocks(320, 5 + 16)},
        {"mt2chrparam.txt", table(1, 256)},      {"mt2chrflag.txt", table(1, 256)},
        {"mt2chrspparam.txt", table(1, 16)},     {"mt2chrspflag.txt", table(1, 16)},
        {"mt2chrlvup.txt", table(2, 50) + 1 + table(2, 39)},
        {"mt2itemparam.txt", table(4, 256)},     {"mt2itemregist.txt", table(4, 256)},
        {"mt2itemeffect.txt", table(4, 256)},    {"mt2techlearnflag.txt", table(1, 256)},
        {"mt2techlearndata.txt", learning_lines(game.learning)},
        {"mt2techevadedata.txt", table(1, 256)}, {"mt2formdata.txt", blocks(16, 2 + 5)},
    };
}

std::map<std::string, int> game_b_reports(const DemoGame& game) {
    return {
        {"mt3monparam.txt", table(1, 320)},      {"mt3monregist.txt", table(1, 320)},
        {"mt3monflag.txt", table(1, 320)},       {"mt3monitem.txt", table(1, 320)},
        {"mt3monequip.txt", table(1, 320)},      {"mt3monact.txt", blocks(320, 2 + 16)},
        {"mt3monencmain.txt", blocks(16, 2 + 16)}, {"mt3monencsub.txt", blocks(15, 2 + 48)},
        {"mt3monmisc.txt", table(1, 320)},       {"mt3chrparam.txt", table(1, 48)},
        {"mt3chrlvup.txt", table(1, 48)},        {"mt3chrflag.txt", table(1, 48)},
        {"mt3itemparam.txt", table(5, 256)},     {"mt3itemregist.txt", table(5, 256)},
        {"mt3itemeffect.txt", table(5, 256)},    {"mt3techlearnflag.txt", table(1, 256)},
        {"mt3techlearndata.txt", learning_lines(game.learning)},
        {"mt3techevadedata.txt", table(1, 256)}, {"mt3formdata.txt", blocks(32, 2 + 5)},
    };
}

class DemoReportsTest : public ::testing::Test {
protected:
    void SetUp() override { write_demo_files(images_.path()); }

    // Runs the analyzer on the demo image into a directory of its own.
    std::string analyze(const std::string& analyzer, const DemoFileNames& files) {
        const std::string out = images_.file(files.image) + ".reports";
        std::filesystem::create_directory(out);
        const RunResult r = run_tool(analyzer, {images_.file(files.image), out});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return out;
    }

    void expect_reports(const std::string& dir, const std::map<std::string, int>& expected) {
        std::vector<std::string> names;
        for (const auto& [name, lines] : expected) names.push_back(name);
        ASSERT_EQ(list_dir(dir), names);
        for (const auto& [name, lines] : expected) {
            const std::string text = read_text_file(dir + "/" + name);
            EXPECT_EQ(static_cast<int>(split_lines(text).size()), lines) << name;
            EXPECT_EQ(text.find("〓"), std::string::npos) << name << " holds a code the game does not use";
        }
    }

    // Every monster row of the flag report begins with its number and name.
    void expect_monster_names(const std::string& report, const DemoGame& game) {
        const std::vector<std::string> lines = split_lines(read_text_file(report));
        ASSERT_EQ(lines.size(), 321u);
        for (int n = 0; n < 320; ++n) {
            char prefix[64];
            std::snprintf(prefix, sizeof prefix, "%03d(%03X): %-16s :", n, n, game.monster_names[static_cast<size_t>(n)].c_str());
            EXPECT_EQ(lines[static_cast<size_t>(n) + 1].rfind(prefix, 0), 0u) << lines[static_cast<size_t>(n) + 1];
        }
    }

    void expect_decoded(const std::string& decoder, const DemoFileNames& files, const DemoGame& game) {
        const std::string out = images_.file(std::string(files.text) + ".txt");
        const RunResult r = run_tool(decoder, {images_.file(files.text), out});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(read_text_file(out), game.script);
    }

    TempDir images_;
};

}  // namespace

TEST_F(DemoReportsTest, GameAReports) {
    const DemoGame game = mt2::make_demo();
    const std::string dir = analyze(kMt2Analyzer, kGameAFiles);
    expect_reports(dir, game_a_reports(game));
    expect_monster_names(dir + "/mt2monflag.txt", game);
}

TEST_F(DemoReportsTest, GameBReports) {
    const DemoGame game = mt3::make_demo();
    const std::string dir = analyze(kMt3Analyzer, kGameBFiles);
    expect_reports(dir, game_b_reports(game));
    expect_monster_names(dir + "/mt3monflag.txt", game);
}

TEST_F(DemoReportsTest, DecodersGiveBackTheDemoScripts) {
    expect_decoded(kMt2Decoder, kGameAFiles, mt2::make_demo());
    expect_decoded(kMt3Decoder, kGameBFiles, mt3::make_demo());
}
