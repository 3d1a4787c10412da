// Character and special character names, the three character blocks and the
// five character reports.
#include "games/a/characters.h"

#include <functional>
#include <string>
#include <vector>

#include "games/a/run.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt2_test;

namespace {

constexpr RecordTable kCharacters{0x1E0CC0, 10};
constexpr RecordTable kSpecials{0x1E16C0, 43};
constexpr RecordTable kSkillLevels{0x1E2527, 2};  // a word a level, level 1 first
constexpr RecordTable kOverallSkillLevels{0x1EA4DC, 2};

// The rows after their prefixes.
const char kParamValues[] =
    "  %3d, %3d, %3d, %3d, %3d, %3d, %3d, %+3d, %+3d, %+3d, %+3d, %+3d, %+3d, %+3d, %+3d, %+3d, %+3d, %+3d";
const char kFlagHeader[] = "No.       名前               女性 不死 ボス 飛行 種族      閃TYPE";
const char kFlagValues[] = "  %2s   %2s   %2s   %2s  %-8s  TYPE%02d";
const char kSpecialValues[] =
    "  %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d, %3d";

std::string character_name_of(int n) { return n == 1 ? "セーユ" : n == 255 ? "皇帝" : ""; }
std::string special_name_of(int n) { return n == 0 ? "カリー" : n == 15 ? "ああああああああ" : ""; }

class CharacterTest : public ReportTest {
protected:
    CharacterTest() {
        put_names(rom_, kCharacterNames, {{1, {0x8F, 0xE5, 0xA6}}, {255, {0xF2, 0xEB}}});  // セーユ, 皇帝
        put_names(rom_, kSpecialNames, {
            {0, {0x87, 0xA9, 0xE5}},  // カリー
            {15, {0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51}},
        });
    }

    const std::function<std::string(int)> param_prefix = row_prefix(2, 16, character_name_of);
    const std::function<std::string(int)> flag_prefix = row_prefix(3, 16, character_name_of);
    const std::function<std::string(int)> special_param_prefix = row_prefix(2, 16, special_name_of);
    const std::function<std::string(int)> special_flag_prefix = row_prefix(3, 16, special_name_of);
};

}  // namespace

TEST_F(CharacterTest, NamesOfBothTables) {
    open();
    expect_names(mt2::special_character_name, {{0, "カリー"}});
    expect_names(mt2::character_name, {{1, "セーユ"}, {255, "皇帝"}});
    expect_names(mt2::special_character_name, {{15, "ああああああああ"}});
    // The special names follow the character names in the ROM, but are no
    // character names.
    expect_names(mt2::character_name, {{256, ""}, {-1, ""}});
    expect_names(mt2::special_character_name, {{16, ""}, {-1, ""}});
}

TEST_F(CharacterTest, ParamReportColumnsAndAptitudes) {
    put_records(rom_, kCharacters, {
        {1, 0, {0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x70}},             // sword only: +0
        {2, 0, {0, 0, 0, 0, 0, 0, 0x40, 0x20, 0xFA}},             // axe +8, wind +3
        {3, 0, {0, 0xFF, 0x21, 0x43, 200, 0, 0x20, 0x10, 0x8F}},  // spear +1, earth +8
        {255, 0, {0, 0x5A, 0, 0, 1, 0, 0xFF, 0xFF, 0x77}},        // all flags
    });
    expect_rows(
        mt2::write_chrparam,
        "No.      名前                 LP 腕力 器用 魔力 不明 素早 体力   剣   槍   斧   弓 体術   火   水   風   地   "
        "天   冥",
        256, param_prefix, fmt(kParamValues, 0, 10, 10, 10, 10, 10, 10, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7),
        {
            {1,
             "001(01): セーユ           :    0,  10,  10,  10,  10,  10,  10,  +0,  -7,  -7,  -7,  -7,  -7,  -7,  "
             "-7,  -7,  -7,  -7"},
            {2,
             param_prefix(2) + fmt(kParamValues, 0, 10, 10, 10, 10, 10, 10, -7, -7, 8, -7, -7, -7, -7, 3, -7, -7, -7)},
            {3, param_prefix(3) +
                    fmt(kParamValues, 200, 25, 25, 11, 12, 13, 14, -7, 1, -7, -7, -7, -7, -7, -7, 8, -7, -7)},
            {255,
             "255(FF): 皇帝             :    1,  20,  15,  10,  10,  10,  10,  +0,  +0,  +0,  +0,  +0,  +0,  +0,  "
             "+0,  +0,  +0,  +0"},
        });
}

TEST_F(CharacterTest, FlagReport) {
    put_records(rom_, kCharacters,
                {{1, 0, {0xF3, 0, 0, 0, 0, 5}}, {2, 0, {0x4C, 0, 0, 0, 0, 123}}, {255, 0, {0x1F, 0, 0, 0, 0, 255}}});
    expect_rows(mt2::write_chrflag, kFlagHeader, 256, flag_prefix, fmt(kFlagValues, "×", "×", "×", "×", "--------", 0),
                {
                    {1, "001(001): セーユ           :  ○   ○   ○   ○  巨人      TYPE05"},
                    {2, flag_prefix(2) + fmt(kFlagValues, "×", "○", "×", "×", "火の精霊", 123)},
                    {255, "255(0FF): 皇帝             :  ×   ×   ×   ○  土の精霊  TYPE255"},
                });
}

TEST_F(CharacterTest, SpecialParamReportPointsAndColumns) {
    put_records(rom_, kSpecials, {
        {0, 4, {30, 0, 10, 20, 30, 40, 50}},     // WP 150 + 100
        {1, 6, {50, 50, 50, 50, 50, 0, 0, 1}},  // WP 350 capped; a single magic level 1: JP 8
        {2, 1, {0x10, 0x32, 0x54}},
        {2, 11, {1, 2, 3, 4, 5, 6}},  // JP 21 + 12 + 5
        {14, 11, {81}},               // 81 + 162 + 5 = 248
        {15, 11, {82}},               // 82 + 164 = 246, + 5 = 251: capped after the bonus
    });
    expect_rows(
        mt2::write_chrspparam,
        "No.      名前                 LP   WP   JP 腕力 器用 魔力 不明 素早 体力   剣   槍   斧   弓 体術   火   水   "
        "風   "
        "地   天   冥",
        16, special_param_prefix, fmt(kSpecialValues, 0, 0, 0, 10, 10, 10, 10, 10, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        {
            {0,
             "000(00): カリー           :   30, 250,   0,  10,  10,  10,  10,  10,  10,  10,  30,  20,  40,  50,   "
             "0,   0,   0,   0,   0,   0"},
            {1, special_param_prefix(1) +
                    fmt(kSpecialValues, 0, 250, 8, 10, 10, 10, 10, 10, 10, 50, 50, 50, 50, 50, 0, 0, 1, 0, 0, 0)},
            {2, special_param_prefix(2) +
                    fmt(kSpecialValues, 0, 0, 38, 10, 11, 12, 13, 14, 15, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6)},
            {14, special_param_prefix(14) +
                     fmt(kSpecialValues, 0, 0, 248, 10, 10, 10, 10, 10, 10, 0, 0, 0, 0, 0, 81, 0, 0, 0, 0, 0)},
            {15,
             "015(0F): ああああああああ :    0,   0, 250,  10,  10,  10,  10,  10,  10,   0,   0,   0,   0,   0,  "
             "82,   0,   0,   0,   0,   0"},
        });
}

TEST_F(CharacterTest, SpecialFlagReport) {
    put_records(rom_, kSpecials, {{0, 0, {0xA5, 0, 0, 0, 0, 9}}, {15, 0, {0x50, 0, 0, 0, 0, 77}}});
    expect_rows(mt2::write_chrspflag, kFlagHeader, 16, special_flag_prefix,
                fmt(kFlagValues, "×", "×", "×", "×", "--------", 0),
                {
                    {0, "000(000): カリー           :  ○   ×   ○   ×  獣人      TYPE09"},
                    {15, "015(00F): ああああああああ :  ×   ○   ×   ○  --------  TYPE77"},
                });
}

TEST_F(CharacterTest, LevelReport) {
    put_records(rom_, kSkillLevels, {{0, 0, {0x10, 0x27}}, {49, 0, {0xFF, 0xFF}}});
    put_records(rom_, kOverallSkillLevels,
                {{0, 0, {1, 0}}, {38, 0, {0x39, 0x30}}, {39, 0, {0xFF, 0xFF}}});  // 39: the word after the table
    std::vector<std::string> expected{"[技能レベル]", "LV  技術点", " 1:  10000"};
    for (int k = 2; k <= 50; ++k) expected.push_back(fmt("%2d:  %5ld", k, 0L));
    expected.back() = "50:  65535";
    expected.insert(expected.end(), {"", "[全体技能レベル]", "LV  技術点", " 1:      1"});
    for (int k = 2; k <= 39; ++k) expected.push_back(fmt("%2d:  %5ld", k, 0L));
    expected.back() = "39:  12345";
    expect_report(report_of(mt2::write_chrlvup), expected);
}
