// Game-B encounters: the main and sub encounter tables and their reports.
#include "games/b/encounters.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr RecordTable kTypes{0x3E756B, 13};
constexpr RecordTable kMain{0x3E77BB, 32};  // a group each
constexpr RecordTable kSub{0x3E79BB, 96};   // a sub type each

const char kMainHeader[] = "No. モンスター          Lv. 最大数 最大サイズ";
const char kSubHeader[] = "No. モンスター          Lv.";

class EncounterTest : public ReportTest {
protected:
    EncounterTest() {
        put_names(rom_, kMonsterNames, {
            {0, {0x55}},        // お
            {2, {0x51, 0x52}},  // あい
            {5, {0x53, 0x54}},  // うえ
            {255, {0xAE}},      // ン
        });
        put_records(rom_, kTypes, {
            {2, 0, {3, 2, 4, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}},
            {15, 0, {12, 10, 40}},
        });
        put_records(rom_, kMain, {
            {0, 0, {0x05, 0x02, 0xFF, 0x0F}},
            // Group 3: a type number of 16 ends the group at its fifth pair.
            {3, 0, {2, 2, 2, 2, 2, 2, 2, 2, 7, 16, 5, 2}},
            // Group 15 ends at once.
            {15, 0, {255, 0xFF, 5, 2}},
        });
        put_records(rom_, kSub, {{0, 0, {0x05, 0x02}}, {14, 2 * 47, {200, 255}}});
    }
};

}  // namespace

TEST_F(EncounterTest, MainReportBlocks) {
    expect_lines(report_lines(mt3::write_monencmain), 16 * 19 - 1, {
        {0, "[No.00(00): 骸骨]"},
        {1, kMainHeader},
        {2, " 0: うえ             :    0,     3,     4× 2"},
        {3, " 1: ン               :   16,    12,    40×10"},
        {4, " 2: お               :   32,     0,     0× 0"},
        {17, "15: お               :  240,     0,     0× 0"},
        {18, ""},
        {19, "[No.01(01): 悪魔]"},
        {19 * 8, "[No.08(08): ゾンビ]"},
        {19 * 15, "[No.15(0F): 妖精]"},
        {16 * 19 - 2, "15:                  :  240,     0,     0× 0"},
    });
}

TEST_F(EncounterTest, TypeNumberOfSixteenEndsItsGroupButNotItsRows) {
    const size_t g3 = 19 * 3;
    const size_t g15 = 19 * 15;
    expect_lines(report_lines(mt3::write_monencmain), {
        {g3, "[No.03(03): 魚]"},
        {g3 + 2 + 3, " 3: あい             :   48,     3,     4× 2"},
        {g3 + 2 + 4, " 4:                  :   64,     0,     0× 0"},
        {g3 + 2 + 5, " 5:                  :   80,     0,     0× 0"},
        {g3 + 2 + 15, "15:                  :  240,     0,     0× 0"},
        {g3 + 18, ""},
        {g15 + 1, kMainHeader},
        {g15 + 2, " 0:                  :    0,     0,     0× 0"},
    });
}

TEST_F(EncounterTest, SubReportBlocks) {
    expect_lines(report_lines(mt3::write_monencsub), 15 * 51 - 1, {
        {0, "[No.00(00): タイプ00]"},
        {1, kSubHeader},
        // A sub pair is (level, monster).
        {2, " 0: あい             :    5"},
        {3, " 1: お               :    0"},
        {50, ""},
        {51, "[No.01(01): タイプ01]"},
        {51 * 14, "[No.14(0E): タイプ14]"},
        {15 * 51 - 2, "47: ン               :  200"},
    });
}
