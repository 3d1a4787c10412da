// Game-B items: the graded value, names, the item block and the three item
// reports.
#include "games/b/items.h"

#include <cstdlib>

#include "games/b/run.h"
#include "games/b/techniques.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr long kPrices = 0x3E9958;
constexpr long kWeapons = 0x3E0020;  // items 8-79, 4 bytes each
constexpr long kShields = 0x3E0140;  // items 80-95, 4 bytes each
constexpr long kArmour = 0x3E0180;   // items 96-223, 9 bytes each

// Report lines of an item: one header line before each of the five sections.
size_t line_of(int item) { return static_cast<size_t>(item) + (item < 8 ? 1 : item < 80 ? 2 : item < 96 ? 3 : item < 224 ? 4 : 5); }

class ItemTest : public ReportTest {
protected:
    ItemTest() {
        put_name(rom_, kItemNames, 3, {0x82, 0x83});       // アイ
        put_name(rom_, kItemNames, 8, {0x56, 0x60, 0x65});  // かたな
        put_name(rom_, kItemNames, 79, {0xAE});             // ン
        put_name(rom_, kItemNames, 80, {0x60, 0x63});       // たて
        put_name(rom_, kItemNames, 96, {0x75, 0x7A, 0x52});  // よろい
        put_name(rom_, kItemNames, 97, {0x5A, 0x7A, 0x72});  // ころも
        put_name(rom_, kItemNames, 224, {0x58, 0x5D, 0x77});  // くすり
        put_name(rom_, kItemNames, 255, {0x67, 0x69});        // ぬの
        put_name(rom_, kTechNames, 5, {0x52, 0x56});          // いか
        rom_.put(kPrices + 2 * 3, {0x34, 0x12}).put(kPrices + 2 * 8, {0xDC, 0x05});
        rom_.put(kPrices + 2 * 80, {0x2C, 0x01}).put(kPrices + 2 * 96, {0xFF, 0xFF});
        rom_.put(kPrices + 2 * 224, {10, 0}).put(kPrices + 2 * 255, {7, 0});
        rom_.put(kWeapons, {0xFF, 0xFF, 5, 255}).put(kWeapons + 4 * 71, {0x0A, 0x30, 255, 5});
        rom_.put(kShields, {0x0B, 0x85, 0x93, 0x81});
        rom_.put(kArmour, {0x94, 0xAB, 0x8A, 0x5D, 0x42, 0xFF, 0x08, 0x81, 0xF5});
        rom_.put(kArmour + 9, {0x07, 0xF6, 0x09, 0xF4, 0x81, 0x00, 0xF8, 0xFE, 0x03});
        rom_.put(kArmour + 9 * 127, {0x7F, 0x17, 0x00, 0x00, 0x00, 0x00, 0x07, 0x01, 0x0F});
        // The character records follow the armour records; items 224-255
        // have no record and must not take these bytes.
        rom_.fill(kArmour + 9 * 128, 9 * 32, 0x7F);
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
    const auto rows = report_lines(mt3::write_item_param);
    ASSERT_EQ(rows.size(), 261u);
    EXPECT_EQ(rows[0], "No.      名前                 価格");
    EXPECT_EQ(rows[line_of(3)], "003(03): アイ             :   4660");
    EXPECT_EQ(rows[9], "No.      名前                 価格 攻撃 重量");
    EXPECT_EQ(rows[line_of(8)], "008(08): かたな           :   1500, 127,   7");
    EXPECT_EQ(rows[line_of(79)], "079(4F): ン               :      0,  48,   2");
    EXPECT_EQ(rows[82], "No.      名前                 価格 防御 回避 重量");
    EXPECT_EQ(rows[line_of(80)], "080(50): たて             :    300,   5,  19,   3");
    EXPECT_EQ(rows[99],
              "No.      名前                 価格 物防 魔防 防斬 防打 防突 防射 防熱 防冷 防雷 防状 腕力 器用 素早 体力 "
              "魔力 意志 魅力 重量");
    EXPECT_EQ(rows[line_of(96)],
              "096(60): よろい           :  65535,  20,  10,  30,  20,  30,  20,  10,  30,  10,  30,   2,   0,   0,   0,  "
              " 0,   0,   0,   5");
    EXPECT_EQ(rows[line_of(97)],
              "097(61): ころも           :      0,   7,   9,   7,   7,   7,   7,  18,  18,  18,  18,   1,   1,   1,   1,  "
              " 1,   1,   1,   3");
    EXPECT_EQ(rows[line_of(223)],
              "223(DF):                  :      0, 127,   0, 127, 127, 127, 128,   0,   0,   0,   0,   0,   0,   0,   0,  "
              " 0,   0,   0,  15");
    EXPECT_EQ(rows[228], "No.      名前                 価格");
    EXPECT_EQ(rows[line_of(224)], "224(E0): くすり           :     10");
    EXPECT_EQ(rows[line_of(255)], "255(FF): ぬの             :      7");
}

TEST_F(ItemTest, RegistReport) {
    const auto rows = report_lines(mt3::write_item_regist);
    ASSERT_EQ(rows.size(), 261u);
    EXPECT_EQ(rows[0], "No.      名前");
    EXPECT_EQ(rows[line_of(3)], "003(03): アイ             :");
    EXPECT_EQ(rows[9], "No.      名前");
    EXPECT_EQ(rows[line_of(8)], "008(08): かたな           :");
    EXPECT_EQ(rows[82], "No.      名前               防御属性");
    EXPECT_EQ(rows[line_of(80)], "080(50): たて             : 斬・・・・・・状");
    EXPECT_EQ(rows[line_of(81)], "081(51):                  : ・・・・・・・・");
    EXPECT_EQ(rows[99],
              "No.      名前               防斬 防打 防突 防射 防熱 防冷 防雷 防状  状態変化耐性     耐水 耐投 耐音 耐凝 "
              "耐地");
    EXPECT_EQ(rows[line_of(96)],
              "096(60): よろい           :  ○   --   ○   --   --   ◎   --   ◎   ・??・・・・毒・  ○   ×   ×   ×   ×");
    // "(×)" fills its four-byte cell; "○+" is followed by one blank.
    EXPECT_EQ(rows[line_of(97)],
              "097(61): ころも           :  (×) (×) (×) (×) ○+  ○+  ○+  ○+  死・・・・・・ス  ○   ○   ○   ○   ○");
    EXPECT_EQ(rows[line_of(223)],
              "223(DF):                  :  --   --   --   ☆   --   --   --   --   ・・・・・・・・  ×   ×   ×   ×   ×");
    EXPECT_EQ(rows[228], "No.      名前");
    EXPECT_EQ(rows[line_of(224)], "224(E0): くすり           :");
}

TEST_F(ItemTest, EffectReport) {
    const auto rows = report_lines(mt3::write_item_effect);
    ASSERT_EQ(rows.size(), 261u);
    EXPECT_EQ(rows[0], "No.      名前");
    EXPECT_EQ(rows[9], "No.      名前               武器固有技1           武器固有技2");
    EXPECT_EQ(rows[line_of(8)], "008(08): かたな           : いか                , --------------------");
    EXPECT_EQ(rows[line_of(9)], "009(09):                  :                     ,                     ");
    EXPECT_EQ(rows[line_of(79)], "079(4F): ン               : --------------------, いか                ");
    EXPECT_EQ(rows[82], "No.      名前");
    EXPECT_EQ(rows[line_of(80)], "080(50): たて             :");
    EXPECT_EQ(rows[99], "No.      名前");
    EXPECT_EQ(rows[line_of(96)], "096(60): よろい           :");
    EXPECT_EQ(rows[228], "No.      名前");
}
