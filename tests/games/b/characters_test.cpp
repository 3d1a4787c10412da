// Game-B characters: the name mapping, the character block and the three
// character reports.
#include "games/b/characters.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr RecordTable kCharacters{0x3E0600, 48};
constexpr RecordTable kLevelUp{0x3E31BF, 16};

class CharacterTest : public ReportTest {
protected:
    CharacterTest() {
        put_names(rom_, kCharacterNames, {
            {0, {0x51}},   // あ
            {1, {0x52}},   // い
            {5, {0x55}},   // お
            {16, {0x5B}},  // さ
            {40, {0x82}},  // ア
            {41, {0xAE}},  // ン, never shown
        });
        put_records(rom_, kCharacters, {
            {1, 0, {0x11, 0x22, 0xA0, 0xFF, 0xFF, 0x33, 10, 11, 12, 13, 14, 15,
                    16, 0x8A, 1, 2, 0x83, 4, 0x45, 0x23, 0xFF, 7, 12}},
            {1, 40, {4, 2, 8}},  // 辰星, 太陽, なし
            {2, 18, {0x85, 0x43}},
            {3, 18, {0x65, 0x63}},
            {4, 40, {5, 5, 9}},
            {5, 40, {3, 4, 3}},
        });
        rom_.put(kLevelUp.at(1), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    }
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
    expect_lines(report_lines(mt3::write_chrparam), 49, {
        {0, "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力   剣   斧   槍   弓 体術 "
            "蒼龍 朱鳥 白虎 玄武 太陽   月 不明"},
        {2, "001(001): い               :  32767,  10,  11,  12,  13,  14,  15,  16,  10,   1,   2,   3,   "
            "4,   0,   0,   5,   0,   0,   3, 127"},
        // The school bits 6..5 of bytes 18 and 19 choose the column of the level.
        {3, "002(002):                  :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   "
            "0,   5,   0,   0,   0,   0,   0,   0"},
        {4, "003(003):                  :      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   "
            "0,   0,   0,   0,   5,   0,   0,   0"},
    });
}

TEST_F(CharacterTest, LevelUpReport) {
    expect_lines(report_lines(mt3::write_chrlvup), 49, {
        {0, "No.       名前                 HP   WP   JP   剣   斧   槍   弓 体術 蒼龍 朱鳥 白虎 玄武 太陽 "
            "  月    TYPE"},
        {2, "001(001): い               :   16,  14,  15,   1,   2,   3,   4,   5,   6,   7,   8,   9,  "
            "10,  11, TYPE07"},
        {48, "047(02F): さ               :    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  "
             " 0,   0, TYPE00"},
    });
}

TEST_F(CharacterTest, FlagReport) {
    expect_lines(report_lines(mt3::write_chrflag), 49, {
        {0, kFlagHeader},
        {2, "001(001): い               :  ○   ×   ○   ×   ○   ○   ×   ×   ○   ×   ×   ×   ○   辰星  "
            "なし  太陽  TYPE12"},
        {3, "002(002):                  :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ○   ×   ×   歳星  "
            "剣    蒼龍  TYPE00"},
        {41, "040(028): ア               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
             "剣    蒼龍  TYPE00"},
        {42, "041(029): あ               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
             "剣    蒼龍  TYPE00"},
        {47, "046(02E): お               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
             "剣    蒼龍  TYPE00"},
        {48, "047(02F): さ               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   歳星  "
             "剣    蒼龍  TYPE00"},
    });
}

TEST_F(CharacterTest, OutOfRangeIndicesShowEmptyCellsAndTheReportGoesOn) {
    expect_lines(report_lines(mt3::write_chrflag), 49, {
        {5, "004(004):                  :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×           "
            "          TYPE00"},
        {6, "005(005): お               :  ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   太白  "
            "棍棒  玄武  TYPE00"},
    });
}
