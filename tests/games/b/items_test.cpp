// Game-B items: the graded value, names, the item block and the three item
// reports.
#include "games/b/items.h"

#include <array>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "games/b/run.h"
#include "games/b/techniques.h"
#include "tests/games/b/item_records.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr RecordTable kPrices{0x3E9958, 2};

// Report lines of an item: one header line before each of the five sections.
size_t line_of(int item) { return static_cast<size_t>(item) + (item < 8 ? 1 : item < 80 ? 2 : item < 96 ? 3 : item < 224 ? 4 : 5); }

// Checks an item report: its 261 lines, the header line of each section (before
// items 0, 8, 80, 96 and 224) and the row of each item given.
void expect_item_report(const std::vector<std::string>& lines, const std::array<const char*, 5>& headers,
                        std::initializer_list<std::pair<int, std::string>> items) {
    const int firsts[5] = {0, 8, 80, 96, 224};
    std::vector<ExpectedLine> expected;
    for (size_t k = 0; k < 5; ++k) expected.emplace_back(line_of(firsts[k]) - 1, headers[k]);
    for (const auto& [item, text] : items) expected.emplace_back(line_of(item), text);
    expect_lines(lines, 261, expected);
}

class ItemTest : public ReportTest {
protected:
    ItemTest() {
        put_shared_items(rom_);
        put_names(rom_, kItemNames, {
            {3, {0x82, 0x83}},    // アイ
            {79, {0xAE}},         // ン
            {255, {0x67, 0x69}},  // ぬの
        });
        put_name(rom_, kTechNames, 5, {0x52, 0x56});  // いか
        put_records(rom_, kPrices, {
            {3, 0, {0x34, 0x12}},
            {8, 0, {0xDC, 0x05}},
            {80, 0, {0x2C, 0x01}},
            {96, 0, {0xFF, 0xFF}},
            {224, 0, {10, 0}},
            {255, 0, {7, 0}},
        });
        rom_.put(kWeapons.at(0), {0xFF, 0xFF, 5, 255}).put(kWeapons.at(71), {0x0A, 0x30, 255, 5});
        rom_.put(kArmour.at(127), {0x7F, 0x17, 0x00, 0x00, 0x00, 0x00, 0x07, 0x01, 0x0F});
    }
};

}  // namespace

TEST(ComputeValue, EveryLevel) {
    EXPECT_EQ(mt3::compute_value(10, 0), 10);
    EXPECT_EQ(mt3::compute_value(10, 1), 0);
    EXPECT_EQ(mt3::compute_value(11, 2), 5);
    EXPECT_EQ(mt3::compute_value(10, 3), 15);
    EXPECT_EQ(mt3::compute_value(11, 3), 16);
    EXPECT_EQ(mt3::compute_value(9, 4), 18);
    EXPECT_EQ(mt3::compute_value(9, 5), 27);
    EXPECT_EQ(mt3::compute_value(10, 6), 10);
    EXPECT_EQ(mt3::compute_value(0, 7), 128);
    EXPECT_EQ(mt3::compute_value(200, 7), 128);
    EXPECT_EQ(mt3::compute_value(127, 5), 381);
}

TEST(ComputeValue, OutOfRangeLevelsAndValues) {
    EXPECT_EQ(mt3::compute_value(10, 8), 0);
    EXPECT_EQ(mt3::compute_value(10, -1), 0);
    EXPECT_EQ(mt3::compute_value(-1, 0), 0);
    EXPECT_EQ(mt3::compute_value(-1, 7), 0);
    EXPECT_EQ(mt3::compute_value(0, 0), 0);
}

TEST_F(ItemTest, Names) {
    open();
    expect_names(mt3::item_name, {{-1, ""}, {256, ""}, {255, "ぬの"}, {8, "かたな"}});
}

TEST_F(ItemTest, KindsFollowTheNumbers) {
    const auto run = load<mt3::Run>();
    const mt3::ItemRecord* items = run->items.data();
    EXPECT_EQ(items[7].kind, mt3::kItemBasic);
    EXPECT_EQ(items[8].kind, mt3::kItemWeapon);
    EXPECT_EQ(items[80].kind, mt3::kItemShield);
    EXPECT_EQ(items[95].kind, mt3::kItemShield);
    EXPECT_EQ(items[96].kind, mt3::kItemArmour);
    EXPECT_EQ(items[223].kind, mt3::kItemArmour);
    for (int i = 224; i < 256; ++i) {
        EXPECT_NE(items[i].kind, mt3::kItemShield) << i;
        EXPECT_NE(items[i].kind, mt3::kItemArmour) << i;
        EXPECT_EQ(items[i].physical_defence, 0) << i;
    }
}

TEST_F(ItemTest, ParamReport) {
    const std::array<const char*, 5> headers = {
        "No.      名前                 価格",
        "No.      名前                 価格 攻撃 重量",
        "No.      名前                 価格 防御 回避 重量",
        "No.      名前                 価格 物防 魔防 防斬 防打 防突 防射 防熱 防冷 防雷 防状 腕力 器用 素早 体力 "
        "魔力 意志 魅力 重量",
        "No.      名前                 価格",
    };
    expect_item_report(report_lines(mt3::write_item_param), headers, {
        {3, "003(03): アイ             :   4660"},
        {8, "008(08): かたな           :   1500, 127,   7"},
        {79, "079(4F): ン               :      0,  48,   2"},
        {80, "080(50): たて             :    300,   5,  19,   3"},
        {96, "096(60): よろい           :  65535,  20,  10,  30,  20,  30,  20,  10,  30,  10,  30,   2,   0,   0,   "
             "0,   0,   0,   0,   5"},
        {97, "097(61): ころも           :      0,   7,   9,   7,   7,   7,   7,  18,  18,  18,  18,   1,   1,   1,   "
             "1,   1,   1,   1,   3"},
        {223, "223(DF):                  :      0, 127,   0, 127, 127, 127, 128,   0,   0,   0,   0,   0,   0,   0,   "
              "0,   0,   0,   0,  15"},
        {224, "224(E0): くすり           :     10"},
        {255, "255(FF): ぬの             :      7"},
    });
}

TEST_F(ItemTest, RegistReport) {
    const std::array<const char*, 5> headers = {
        "No.      名前",
        "No.      名前",
        "No.      名前               防御属性",
        "No.      名前               防斬 防打 防突 防射 防熱 防冷 防雷 防状  状態変化耐性     耐水 耐投 耐音 耐凝 "
        "耐地",
        "No.      名前",
    };
    expect_item_report(report_lines(mt3::write_item_regist), headers, {
        {3, "003(03): アイ             :"},
        {8, "008(08): かたな           :"},
        {80, "080(50): たて             : 斬・・・・・・状"},
        {81, "081(51):                  : ・・・・・・・・"},
        {96, "096(60): よろい           :  ○   --   ○   --   --   ◎   --   ◎   ・??・・・・毒・  ○   ×   ×   ×   ×"},
        // "(×)" fills its four-byte cell; "○+" is followed by one blank.
        {97, "097(61): ころも           :  (×) (×) (×) (×) ○+  ○+  ○+  ○+  死・・・・・・ス  ○   ○   ○   ○   ○"},
        {223, "223(DF):                  :  --   --   --   ☆   --   --   --   --   ・・・・・・・・  ×   ×   ×   ×   ×"},
        {224, "224(E0): くすり           :"},
    });
}

TEST_F(ItemTest, EffectReport) {
    const char name_only[] = "No.      名前";
    const std::array<const char*, 5> headers = {
        name_only, "No.      名前               武器固有技1           武器固有技2", name_only, name_only, name_only,
    };
    expect_item_report(report_lines(mt3::write_item_effect), headers, {
        {8, "008(08): かたな           : いか                , --------------------"},
        {9, "009(09):                  :                     ,                     "},
        {79, "079(4F): ン               : --------------------, いか                "},
        {80, "080(50): たて             :"},
        {96, "096(60): よろい           :"},
    });
}
