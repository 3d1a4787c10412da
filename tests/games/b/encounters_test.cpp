// Game-B encounters: the main and sub encounter tables and their reports.
#include "games/b/encounters.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr long kTypes = 0x3E756B;  // 13 bytes each
constexpr long kMain = 0x3E77BB;   // 32 bytes per group
constexpr long kSub = 0x3E79BB;    // 96 bytes per sub type

const char kMainHeader[] = "No. モンスター          Lv. 最大数 最大サイズ";
const char kSubHeader[] = "No. モンスター          Lv.";

class EncounterTest : public ReportTest {
protected:
    EncounterTest() {
        put_name(rom_, kMonsterNames, 0, {0x55});         // お
        put_name(rom_, kMonsterNames, 2, {0x51, 0x52});   // あい
        put_name(rom_, kMonsterNames, 5, {0x53, 0x54});   // うえ
        put_name(rom_, kMonsterNames, 255, {0xAE});       // ン
        rom_.put(kTypes + 13 * 2, {3, 2, 4, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
        rom_.put(kTypes + 13 * 15, {12, 10, 40});
        rom_.put(kMain, {0x05, 0x02, 0xFF, 0x0F});
        // Group 3: a type number of 16 ends the group at its fifth pair.
        rom_.put(kMain + 32 * 3, {2, 2, 2, 2, 2, 2, 2, 2, 7, 16, 5, 2});
        // Group 15 ends at once.
        rom_.put(kMain + 32 * 15, {255, 0xFF, 5, 2});
        rom_.put(kSub, {0x05, 0x02});
        rom_.put(kSub + 96 * 14 + 2 * 47, {200, 255});
    }
};

}  // namespace

TEST_F(EncounterTest, MainReportBlocks) {
    const auto rows = report_lines(mt3::write_monencmain);
    ASSERT_EQ(rows.size(), 16u * 19 - 1);
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 5),
              (std::vector<std::string>{
                  "[No.00(00): 骸骨]",
                  kMainHeader,
                  " 0: うえ             :    0,     3,     4× 2",
                  " 1: ン               :   16,    12,    40×10",
                  " 2: お               :   32,     0,     0× 0",
              }));
    EXPECT_EQ(rows[17], "15: お               :  240,     0,     0× 0");
    EXPECT_EQ(rows[18], "");
    EXPECT_EQ(rows[19], "[No.01(01): 悪魔]");
    EXPECT_EQ(rows[19 * 8], "[No.08(08): ゾンビ]");
    EXPECT_EQ(rows[19 * 15], "[No.15(0F): 妖精]");
    EXPECT_EQ(rows.back(), "15:                  :  240,     0,     0× 0");
}

TEST_F(EncounterTest, TypeNumberOfSixteenEndsItsGroupButNotItsRows) {
    const auto rows = report_lines(mt3::write_monencmain);
    const size_t g3 = 19 * 3;
    EXPECT_EQ(rows[g3], "[No.03(03): 魚]");
    EXPECT_EQ(rows[g3 + 2 + 3], " 3: あい             :   48,     3,     4× 2");
    EXPECT_EQ(rows[g3 + 2 + 4], " 4:                  :   64,     0,     0× 0");
    EXPECT_EQ(rows[g3 + 2 + 5], " 5:                  :   80,     0,     0× 0");
    EXPECT_EQ(rows[g3 + 2 + 15], "15:                  :  240,     0,     0× 0");
    EXPECT_EQ(rows[g3 + 18], "");
    const size_t g15 = 19 * 15;
    EXPECT_EQ(rows[g15 + 1], kMainHeader);
    EXPECT_EQ(rows[g15 + 2], " 0:                  :    0,     0,     0× 0");
}

TEST_F(EncounterTest, SubReportBlocks) {
    const auto rows = report_lines(mt3::write_monencsub);
    ASSERT_EQ(rows.size(), 15u * 51 - 1);
    EXPECT_EQ(rows[0], "[No.00(00): タイプ00]");
    EXPECT_EQ(rows[1], kSubHeader);
    // A sub pair is (level, monster).
    EXPECT_EQ(rows[2], " 0: あい             :    5");
    EXPECT_EQ(rows[3], " 1: お               :    0");
    EXPECT_EQ(rows[50], "");
    EXPECT_EQ(rows[51], "[No.01(01): タイプ01]");
    EXPECT_EQ(rows[51 * 14], "[No.14(0E): タイプ14]");
    EXPECT_EQ(rows.back(), "47: ン               :  200");
}

