// Game-B monsters: the monster block, the equipment-derived defences and the
// seven monster reports.
#include "games/b/monsters.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/games/b/item_records.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr RecordTable kMonsters{0x3E3F8B, 25};
constexpr RecordTable kPatterns{0x3E5ECB, 8};
constexpr RecordTable kDrops{0x3E678B, 5};
constexpr long kSizes = 0x26E400;

class MonsterTest : public ReportTest {
protected:
    MonsterTest() {
        put_names(rom_, kMonsterNames, {
            {1, {0x51, 0x52}},    // あい
            {2, {0x53, 0x54}},    // うえ
            {300, {0x56, 0x57}},  // かき
            {319, {0xAE}},        // ン
        });
        put_shared_items(rom_);
        put_names(rom_, kItemNames, {
            {40, {0x58, 0x5C}},  // くし
            {81, {0xCA, 0x53}},  // ぼう
        });
        rom_.put(kWeapons.at(0), {0xFF, 0xFF, 0xFF, 0xFF});
        rom_.put(kShields.at(1), {0x03, 0x0C, 0x21, 0x24});
        put_names(rom_, kTechNames, {
            {256, {0x82, 0x83}},  // アイ
            {258, {0x88, 0x89}},  // キク
            {511, {0xAE}},        // ン
        });
        put_records(rom_, kMonsters, {
            // Monster 1: all flags, race 3, recovery 5, weapon 8, a shield and two armour items.
            {1, 0, {0xF3, 0xFD, 0xAA, 0xBB, 0x34, 0x12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 2, 3,
                    8, 255, 80, 96, 97, 0x01}},
            // Monster 2: shields in a weapon slot and in the shield slot, an item without record, armour
            // in the second armour slot.
            {2, 0, {0x00, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 81, 224, 80, 255, 96, 0xC2}},
            // Monster 3: nothing carried, drop codes of the empty weapon slots.
            {3, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 0x04}},
            // Monster 5: only items that give no defence.
            {5, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 224, 240, 8, 7, 255, 0x00}},
            // Monster 6: armour in the first weapon slot.
            {6, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 97, 255, 255, 255, 255, 0xC0}},
        });
        put_records(rom_, kDrops, {
            {1, 0, {253, 254, 255, 40, 99}},
            {2, 0, {254, 253, 7, 255, 0}},
            {4, 0, {253, 254, 255, 255, 1}},
        });
        put_records(rom_, kPatterns, {
            {2, 0, {0, 255, 2, 0, 0, 0, 0, 0}},
            {3, 0, {255, 0, 0, 0, 0, 0, 0, 0}},
        });
        rom_.at(kSizes + 1) = 0xF0;
        rom_.at(kSizes + 300) = 0x3A;
    }
};

}  // namespace

TEST_F(MonsterTest, Names) {
    open();
    expect_names(mt3::monster_name, {{319, "ン"}, {320, ""}, {-1, ""}});
}

TEST_F(MonsterTest, DropCodesTakeTheWeaponSlots) {
    const auto run = load<mt3::Run>();
    const mt3::MonsterRecord* monsters = run->monsters.data();
    EXPECT_EQ(monsters[1].drops[0], 8);
    EXPECT_EQ(monsters[1].drops[1], 255);
    EXPECT_EQ(monsters[2].drops[0], 224);
    EXPECT_EQ(monsters[2].drops[1], 81);
    EXPECT_EQ(monsters[2].money, 0);
}

TEST_F(MonsterTest, ParamReportWithEquipmentDerivedDefences) {
    expect_lines(report_lines(mt3::write_monparam), 321, {
        {0, "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力 技LV 術LV 上LV 閃LV 防斬 "
            "防打 防突 防射 防熱 防冷 防雷 防状 盾防 回避"},
        // Two armour items add up; the shield gives shield defence and evasion.
        {2, "001(001): あい             :   4660,   1,   2,   3,   4,   5,   6,   7,   8,   9,  10,  11,  "
            "37,  27,  37,  27,  28,  48,  28,  48,   5,  19"},
        // Of two shields the later slot gives the values; armour counts in any slot.
        {3, "002(002): うえ             :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  "
            "30,  20,  30,  20,  10,  30,  10,  30,   5,  19"},
        {4, "003(003):                  :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  "
            " 0,   0,   0,   0,   0,   0,   0,   0,   0"},
        // Items 224-255, weapons and items 0-7 give nothing.
        {6, "005(005):                  :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  "
            " 0,   0,   0,   0,   0,   0,   0,   0,   0"},
        // The slot names do not restrict what an item gives.
        {7, "006(006):                  :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  "
            " 7,   7,   7,   7,  18,  18,  18,  18,   0,   0"},
    });
}

TEST_F(MonsterTest, RegistReport) {
    expect_lines(report_lines(mt3::write_monregist), 321, {
        {0, "No.       名前               盾の防御属性      状態変化耐性"},
        {2, "001(001): あい             : 斬・・・・・・状  死??・・・・毒ス"},
        {3, "002(002): うえ             : 斬・突・・冷・状  ・??・・・・毒・"},
        {4, "003(003):                  : ・・・・・・・・  ・・・・・・・・"},
        {6, "005(005):                  : ・・・・・・・・  ・・・・・・・・"},
        {7, "006(006):                  : ・・・・・・・・  死・・・・・・ス"},
    });
}

TEST_F(MonsterTest, FlagReport) {
    expect_lines(report_lines(mt3::write_monflag), 321, {
        {0, "No.       名前               男性 女性 不死 不明 耐水 耐投 耐音 耐凝 耐地 種族  回復"},
        {2, "001(001): あい             :  ○   ○   ○   ○   ○   ○   ○   ○   ○  蛇    太陽"},
        {3, "002(002): うえ             :  ×   ×   ×   ×   ×   ×   ×   ×   ×  ----  アビス"},
    });
}

TEST_F(MonsterTest, DropReport) {
    expect_lines(report_lines(mt3::write_monitem), 321, {
        {0, "No.       名前               お金   100%              高確率            中確率            低確率"},
        {2, "001(001): あい             :   99,  かたな          , ----------------, ----------------, "
            "くし            "},
        {3, "002(002): うえ             :    0,  くすり          , ぼう            ,                 , "
            "----------------"},
        {4, "003(003):                  :    1,  ----------------, ----------------, ----------------, "
            "----------------"},
    });
}

TEST_F(MonsterTest, EquipmentReport) {
    expect_lines(report_lines(mt3::write_monequip), 321, {
        {0, "No.       名前               無刀1無刀2 武器1             武器2             盾                "
            "防具1             防具2"},
        {2, "001(001): あい             :  ○   ○   かたな          , ----------------, たて            , "
            "よろい          , ころも          "},
        {3, "002(002): うえ             :  ×   ×   ぼう            , くすり          , たて            , "
            "----------------, よろい          "},
        {4, "003(003):                  :  ○   ○   ----------------, ----------------, ----------------, "
            "----------------, ----------------"},
        {6, "005(005):                  :  ○   ○   くすり          ,                 , かたな          , "
            "                , ----------------"},
    });
}

TEST_F(MonsterTest, ActionReportNamesTheSecondTechniqueHalf) {
    const auto rows = report_lines(mt3::write_monact);
    ASSERT_EQ(rows.size(), 320u * 19 - 1);
    const std::vector<std::string> block1(rows.begin() + 19, rows.begin() + 38);
    EXPECT_EQ(block1, (std::vector<std::string>{"[No.001(01): あい]", "No.   行動", "1-01: アイ", "1-02: ン",
                                                 "1-03: キク", "1-04: アイ", "1-05: アイ", "1-06: アイ", "1-07: アイ",
                                                 "1-08: アイ", "2-01: ン", "2-02: アイ", "2-03: アイ", "2-04: アイ",
                                                 "2-05: アイ", "2-06: アイ", "2-07: アイ", "2-08: アイ", ""}));
    EXPECT_EQ(rows[300 * 19], "[No.300(12C): かき]");
    EXPECT_EQ(rows[319 * 19], "[No.319(13F): ン]");
    EXPECT_EQ(rows.back(), "2-08: アイ");
}

TEST_F(MonsterTest, SizeReport) {
    expect_lines(report_lines(mt3::write_monmisc), 321, {
        {0, "No.       名前                サイズ"},
        {2, "001(001): あい             :   0×60"},
        {301, "300(12C): かき             :  40×12"},
        {320, "319(13F): ン               :   0× 0"},
    });
}
