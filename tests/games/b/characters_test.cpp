// Game-B characters: the name mapping, the character block and the three
// character reports.
#include "games/b/characters.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr long kCharacters = 0x3E0600;  // 48 bytes each
constexpr long kLevelUp = 0x3E31BF;     // 16 bytes each

class CharacterTest : public ReportTest {
protected:
    CharacterTest() {
        put_name(rom_, kCharacterNames, 0, {0x51});   // あ
        put_name(rom_, kCharacterNames, 1, {0x52});   // い
        put_name(rom_, kCharacterNames, 5, {0x55});   // お
        put_name(rom_, kCharacterNames, 16, {0x5B});  // さ
        put_name(rom_, kCharacterNames, 40, {0x82});  // ア
        put_name(rom_, kCharacterNames, 41, {0xAE});  // ン, never shown
        Bytes c1(48, 0);
        const uint8_t front[] = {0x11, 0x22, 0xA0, 0xFF, 0xFF, 0x33, 10,   11,   12,   13, 14, 15,
                                 16,   0x8A, 1,    2,    0x83, 4,    0x45, 0x23, 0xFF, 7,  12};
        std::copy(std::begin(front), std::end(front), c1.begin());
        c1[40] = 4;  // 辰星
        c1[41] = 2;  // 太陽
        c1[42] = 8;  // なし
        character(1, c1);
        character_byte(2, 18, 0x85);
        character_byte(2, 19, 0x43);
        character_byte(3, 18, 0x65);
        character_byte(3, 19, 0x63);
        character_byte(4, 40, 5);
        character_byte(4, 41, 5);
        character_byte(4, 42, 9);
        character_byte(5, 40, 3);
        character_byte(5, 41, 4);
        character_byte(5, 42, 3);
        Bytes lv(16);
        for (int i = 0; i < 16; ++i) lv[static_cast<size_t>(i)] = static_cast<uint8_t>(i + 1);
        rom_.put(kLevelUp + 16, lv);
    }

    void character(int n, const Bytes& record) { rom_.put(kCharacters + 48L * n, record); }
    void character_byte(int n, int byte, uint8_t value) { rom_.at(kCharacters + 48L * n + byte) = value; }
};

const char kFlagHeader[] =
    "No.       名前               男性 女性 不死 不明  HP   剣   斧   槍   弓  体術 地術 天術 不明  宿星  武器  術    "
    "閃TYPE";

}  // namespace

TEST_F(CharacterTest, NameMapping) {
    open();
    expect_names(mt3::character_name, {{40, "ア"}, {41, "あ"}, {46, "お"}, {47, "さ"}, {48, ""}, {-1, ""}});
}

TEST_F(CharacterTest, ParamReport) {
    const auto rows = report_lines(mt3::write_chrparam);
    ASSERT_EQ(rows.size(), 49u);
    EXPECT_EQ(rows[0],
              "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力   剣   斧   槍   弓 体術 蒼龍 朱鳥 "
              "白虎 玄武 太陽   月 不明");
    EXPECT_EQ(rows[2],
              "001(001): い               :  32767,  10,  11,  12,  13,  14,  15,  16,  10,   1,   2,   3,   4,   0,  "
              " 0,   5,   0,   0,   3, 127");
    // The school bits 6..5 of bytes 18 and 19 choose the column of the level.
    EXPECT_EQ(rows[3],
              "002(002):                  :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   5,  "
              " 0,   0,   0,   0,   0,   0");
    EXPECT_EQ(rows[4],
              "003(003):                  :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  "
              " 0,   0,   5,   0,   0,   0");
}

TEST_F(CharacterTest, LevelUpReport) {
    const auto rows = report_lines(mt3::write_chrlvup);
    ASSERT_EQ(rows.size(), 49u);
    EXPECT_EQ(rows[0],
              "No.       名前                 HP   WP   JP   剣   斧   槍   弓 体術 蒼龍 朱鳥 白虎 玄武 太陽   月    "
              "TYPE");
    EXPECT_EQ(rows[2],
              "001(001): い               :   16,  14,  15,   1,   2,   3,   4,   5,   6,   7,   8,   9,  10,  11, "
              "TYPE07");
    EXPECT_EQ(rows[48],
              "047(02F): さ               :    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0, "
              "TYPE00");
}

TEST_F(CharacterTest, FlagReport) {
    const auto rows = report_lines(mt3::write_chrflag);
    ASSERT_EQ(rows.size(), 49u);
    EXPECT_EQ(rows[0], kFlagHeader);
    EXPECT_EQ(rows[2], "001(001): い               :  ○   ×   ○   ×   ○   ○   ×   ×   ○   ×   ×   ×   ○   辰星  "
                       "なし  太陽  TYPE12");
    EXPECT_EQ(rows[3], "002(002):                  :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ○   ×   ×   歳星  "
                       "剣    蒼龍  TYPE00");
    EXPECT_EQ(rows[41], "040(028): ア               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
                        "剣    蒼龍  TYPE00");
    EXPECT_EQ(rows[42], "041(029): あ               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
                        "剣    蒼龍  TYPE00");
    EXPECT_EQ(rows[47], "046(02E): お               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
                        "剣    蒼龍  TYPE00");
    EXPECT_EQ(rows[48], "047(02F): さ               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
                        "剣    蒼龍  TYPE00");
}

TEST_F(CharacterTest, OutOfRangeIndicesShowEmptyCellsAndTheReportGoesOn) {
    const auto rows = report_lines(mt3::write_chrflag);
    ASSERT_EQ(rows.size(), 49u);
    EXPECT_EQ(rows[5], "004(004):                  :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×               "
                       "      TYPE00");
    EXPECT_EQ(rows[6], "005(005): お               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   太白  "
                       "棍棒  玄武  TYPE00");
}
