// Monster names, the monster block and the six monster reports.
#include "games/a/monsters.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "games/a/run.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt2_test;

namespace {

constexpr RecordTable kTechPoints{0x1E6F62, 2};
constexpr RecordTable kStatistics{0x1E7700, 32};
constexpr RecordTable kPatterns{0x1E9F00, 8};

// The parameter row after its prefix.
const char kParamValues[] =
    "  %5ld, %5ld, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, "
    "%3d, %3d";

std::string name_of(int n) {
    switch (n) {
        case 2: return "スライム";
        case 300: return "ドラゴン王";
        case 319: return "アイウエオカキク";  // fills the column exactly
        default: return "";
    }
}

class MonsterTest : public ReportTest {
protected:
    MonsterTest() {
        put_name(rom_, kMonsterNames, 2, {0x8E, 0xA8, 0x83, 0xA2});
        put_name(rom_, kMonsterNames, 300, {0xD9, 0xA8, 0xCF, 0xAE, 0xFA});
        put_name(rom_, kMonsterNames, 319, {0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89});
        put_name(rom_, kItemNames, 254, {0x53});  // う
        put_name(rom_, kItemNames, 255, {0x54});  // え
        put_name(rom_, kItemNames, 7, {0x51, 0x52});
        put_name(rom_, kTechNames, 11, {0x82});
        put_name(rom_, kTechNames, 255, {0x83});
    }

    const std::function<std::string(int)> prefix = row_prefix(3, 16, name_of);

    // The writer's report: the header, the rows given, every other monster
    // showing rest.
    void expect_rows(void (*writer)(common::ReportText&, const mt2::Run&), const char* header, const std::string& rest,
                     const std::map<int, std::string>& rows) {
        ReportTest::expect_rows(writer, header, 320, prefix, rest, rows);
    }
};

}  // namespace

TEST_F(MonsterTest, Names) {
    open();
    expect_names(mt2::monster_name, {{2, "スライム"}, {300, "ドラゴン王"},
                                     {319, "アイウエオカキク"}, {-1, ""}, {320, ""}});
}

TEST_F(MonsterTest, ParamReport) {
    put_records(rom_, kTechPoints, {{300, 0, {0xFF, 0xFF}}, {2, 0, {0x2C, 0x01}}});
    put_records(rom_, kStatistics, {
        {300, 0, {0x00, 0x10, 0x27, 35, 30, 11, 12, 13, 14, 15, 16, 99,
                  21, 22, 23, 24, 25, 26, 27, 28, 0xFF, 0xFF, 200, 0xFF}},
        {2, 0, {0, 1, 0, 36, 31}},
        {2, 21, {0x85}},
        {3, 0, {0, 0, 0, 255, 255}},
    });
    expect_rows(mt2::write_monparam,
                "No.       名前               技術点     HP   LP   WP   JP 腕力 器用 魔力 不明 素早 体力 技LV 術LV 防斬 "
                "防殴 防突 防射 防熱 防冷 防雷 防状 盾防 回避",
                fmt(kParamValues, 0L, 0L, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
                {
                    {300, "300(12C): ドラゴン王       :  65535, 10000,  99, 245, 245,  11,  12,  13,  14,  15,  16,  "
                          "35,  30,  21,  22,  23,  24,  25,  26,  27,  28, 200, 127"},
                    {2, "002(002): スライム         :    300,     1,   0, 250, 250,   0,   0,   0,   0,   0,   0,  "
                        "36,  31,   0,   0,   0,   0,   0,   0,   0,   0,   0,   5"},
                    {3, prefix(3) + fmt(kParamValues, 0L, 0L, 0, 250, 250, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0,
                                        0, 0, 0, 0, 0, 0)},
                });
}

TEST_F(MonsterTest, ResistanceReport) {
    put_records(rom_, kStatistics, {{2, 20, {0x81}}, {2, 23, {0x40}}, {319, 20, {0x7E}}, {319, 23, {0xFF}}});
    expect_rows(mt2::write_monregist, "No.       名前               盾の防御属性      状態変化耐性",
                " ・・・・・・・・  ・・・・・・・・",
                {
                    {2, "002(002): スライム         : 斬・・・・・・状  ・痺・・・・・・"},
                    {319, "319(13F): アイウエオカキク : ・殴突射熱冷雷・  死痺眠暗精毒圧ス"},
                });
}

TEST_F(MonsterTest, FlagReport) {
    put_records(rom_, kStatistics, {{2, 0, {0xF3}}, {3, 0, {0x1C}}, {300, 0, {0x8F}}});
    expect_rows(mt2::write_monflag, "No.       名前               女性 不死 ボス 飛行 種族",
                "  ×   ×   ×   ×  --------",
                {
                    {2, "002(002): スライム         :  ○   ○   ○   ○  巨人"},
                    {3, prefix(3) + "  ×   ×   ×   ○  火の精霊"},
                    {300, "300(12C): ドラゴン王       :  ○   ×   ×   ×  土の精霊"},
                });
}

TEST_F(MonsterTest, DropReportHyphensFor255Only) {
    put_records(rom_, kStatistics, {{2, 29, {255, 254}}, {3, 29, {7, 255}}});
    expect_rows(mt2::write_monitem, "No.       名前               高確率            低確率",
                fmt(" %-16s, %-16s", "", ""),
                {
                    {2, "002(002): スライム         : ----------------, う              "},
                    {3, prefix(3) + " あい            , ----------------"},
                });
}

TEST_F(MonsterTest, WeaponReportHyphensFor254Only) {
    put_records(rom_, kStatistics, {{2, 24, {255, 254}}, {3, 24, {254, 7}}});
    for (int n = 0; n < 320; ++n) rom_.at(kStatistics.at(n, 29)) = 254;  // drops do not reach the weapon report
    expect_rows(mt2::write_monequip, "No.       名前               武器1             武器2",
                fmt(" %-16s, %-16s", "", ""),
                {
                    {2, "002(002): スライム         : え              , ----------------"},
                    {3, prefix(3) + " ----------------, あい            "},
                });
}

namespace {

std::vector<std::string> action_block(int n, const std::string& targets, int share1, int share2,
                                      const std::vector<std::string>& techs) {
    std::vector<std::string> lines{fmt("[No.%03d(%02X): %s]", n, n, name_of(n).c_str()), "攻撃目標:" + targets,
                                   fmt("行動パターン1選択率: %d/8", share1), fmt("行動パターン2選択率: %d/8", share2),
                                   "No.   行動"};
    for (int s = 0; s < 16; ++s) lines.push_back(fmt("%1d-%02d: %s", s / 8 + 1, s % 8 + 1, techs[s].c_str()));
    return lines;
}

}  // namespace

TEST_F(MonsterTest, ActionReport) {
    put_records(rom_, kPatterns, {{5, 0, {0, 10, 11, 255, 1, 2, 3, 4}}, {255, 0, {11, 11, 11, 11, 11, 11, 11, 255}}});
    // Bytes 26 and 27 choose the two patterns, byte 28 the targets and the rate index.
    put_records(rom_, kStatistics, {
        {256, 26, {5, 255, 0x98}},  // all three targets, rate index 0
        {2, 26, {5, 5, 0x67}},      // bits 6, 5 and 2 change nothing; rate index 3
        {3, 28, {0x11}},            // low-HP characters, rate index 1
        {300, 28, {0x0A}},          // high-HP characters, rate index 2
    });
    const std::vector<std::string> zero(16, "(通常攻撃: 剣)");
    const std::vector<std::string> p5{"(通常攻撃: 剣)", "(通常攻撃: パンチ)", "ア", "イ",
                                      "(通常攻撃: 大剣)", "(通常攻撃: 斧)", "(通常攻撃: 棍棒)", "(通常攻撃: 槍)"};
    std::vector<std::string> p5p255 = p5;
    p5p255.insert(p5p255.end(), {"ア", "ア", "ア", "ア", "ア", "ア", "ア", "イ"});
    std::vector<std::string> p5p5 = p5;
    p5p5.insert(p5p5.end(), p5.begin(), p5.end());

    std::vector<std::string> expected;
    for (int n = 0; n < 320; ++n) {
        if (n) expected.push_back("");
        std::vector<std::string> block = action_block(n, "", 7, 1, zero);
        if (n == 256) block = action_block(n, " 皇帝 低HPキャラクタ 高HPキャラクタ", 7, 1, p5p255);
        if (n == 2) block = action_block(n, "", 1, 7, p5p5);
        if (n == 3) block = action_block(n, " 低HPキャラクタ", 5, 3, zero);
        if (n == 300) block = action_block(n, " 高HPキャラクタ", 2, 6, zero);
        expected.insert(expected.end(), block.begin(), block.end());
    }
    EXPECT_EQ(expected[21 * 256 + 256], "[No.256(100): ]");
    EXPECT_EQ(expected[21 * 300 + 300], "[No.300(12C): ドラゴン王]");
    EXPECT_EQ(expected[21 * 2 + 2 + 1], "攻撃目標:");
    EXPECT_EQ(expected[21 * 256 + 256 + 7], "1-03: ア");
    expect_report(report_of(mt2::write_monact), expected);
}

// The core in one process: an image cut short inside its tables gives the
// error value with the words the analyzer prints, and the whole image after it
// gives the run's tables.
TEST_F(MonsterTest, CutImageGivesAnErrorThenTheWholeImageItsTables) {
    open();
    const std::string file = read_file(path("image.smc"));
    const std::string cut = file.substr(0, static_cast<size_t>(mt2::layout::kMonsterRecords.offset) + 16);
    common::RomImage short_image;
    ASSERT_TRUE(short_image.open_memory(reinterpret_cast<const unsigned char*>(cut.data()), cut.size(),
                                        kGameA.rom.title, mt2::kTableSpan).ok());
    const common::Result<mt2::Run> failed = mt2::Run::load(short_image);
    ASSERT_FALSE(failed.ok());
    EXPECT_TRUE(failed.error().lines.at(0).starts_with("Fatal error in fread(): ")) << failed.error().lines.at(0);
    EXPECT_EQ(failed.error().status, 1);
    common::RomImage whole;
    ASSERT_TRUE(whole.open_memory(reinterpret_cast<const unsigned char*>(file.data()), file.size(), kGameA.rom.title,
                                  mt2::kTableSpan).ok());
    const common::Result<mt2::Run> run = mt2::Run::load(whole);
    ASSERT_TRUE(run.ok());
    EXPECT_EQ(run->monsters.size(), static_cast<size_t>(mt2::layout::kMonsterRecords.count));
    EXPECT_EQ(run->learning.group_count, 0);
}
