// Game-B techniques: names, the technique block and the three technique
// reports.
#include "games/b/techniques.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr long kLowRecords = 0x3E0F00;   // 14 bytes each
constexpr long kHighRecords = 0x3E1D00;  // 16 bytes each, techniques 256-511
constexpr long kLearnTypes = 0x3E353F;
constexpr long kDifficulties = 0x3E3D4B;
constexpr long kList1 = 0x3E3A4B;
constexpr long kList2 = 0x3E3F1B;

const char kLearnFlagHeader[] =
    "No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 TY09 TY10 TY11 TY12 TY13 "
    "TY14 TY15";
const char kLearnDataHeader[] = "No.      名前                   難度";

class TechniqueTest : public ReportTest {
protected:
    TechniqueTest() {
        put_name(rom_, kTechNames, 0, {0x51});                          // あ
        put_name(rom_, kTechNames, 3, {0x56, 0x57});                    // かき
        put_name(rom_, kTechNames, 5, {0x52, 0x56});                    // いか
        put_name(rom_, kTechNames, 7, {0x82, 0x83, 0x84, 0x85, 0x86});  // アイウエオ
        put_name(rom_, kTechNames, 200, {0x87});                        // カ
        put_name(rom_, kTechNames, 256, {0x82, 0x83});                  // アイ
        put_name(rom_, kTechNames, 300, {0x88, 0x89});                  // キク
        put_name(rom_, kTechNames, 511, {0xAE});                        // ン
    }

    std::vector<std::string> learn_data() { return report_lines(common::write_learning<mt3::Run, mt3::tech_name>); }
};

}  // namespace

TEST_F(TechniqueTest, NamesOfAllFiveHundredTwelveTechniques) {
    open();
    // No fixed texts in game B: technique 0 has its name from the ROM.
    expect_names(mt3::tech_name, {{0, "あ"}, {300, "キク"}, {511, "ン"}, {512, ""}, {-1, ""}, {1, ""}});
}

TEST_F(TechniqueTest, LearnFlagReport) {
    rom_.put(kLearnTypes, {0x03, 0x00}).put(kLearnTypes + 2 * 3, {0x01, 0x80});
    rom_.at(kLowRecords + 6) = 0x7F;  // only bit 7 is the derivation flag
    rom_.at(kLowRecords + 14 * 3 + 6) = 0x80;
    rom_.at(kLowRecords + 14 * 255 + 6) = 0x80;
    const auto rows = report_lines(common::write_learn_flags<mt3::Run, mt3::tech_name>);
    ASSERT_EQ(rows.size(), 257u);
    EXPECT_EQ(rows[0], kLearnFlagHeader);
    EXPECT_EQ(rows[1],
              "000(00): あ                   :   ×   ○   ○   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×");
    EXPECT_EQ(rows[4],
              "003(03): かき                 :   ○   ○   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ○");
    EXPECT_EQ(rows[256],
              "255(FF):                      :   ○   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×");
}

TEST_F(TechniqueTest, EvadeReportListsTheSecondHalfWithThreeHexDigits) {
    rom_.at(kHighRecords + 16 * 44 + 6) = 0x08;  // technique 300
    rom_.at(kHighRecords + 16 * 45 + 6) = 0xF7;  // technique 301: bit 3 clear
    rom_.at(kHighRecords + 6) = 0x00;
    rom_.at(kLowRecords + 14 * 255 + 6) = 0x08;  // last 14-byte record: not an evade flag
    rom_.at(kDifficulties + 44) = 77;
    rom_.at(kDifficulties + 45) = 255;
    rom_.at(kDifficulties + 255) = 5;
    const auto rows = report_lines(mt3::write_tech_evade_data);
    ASSERT_EQ(rows.size(), 257u);
    EXPECT_EQ(rows[0], "No.       名前                   見切  難度");
    EXPECT_EQ(rows[1], "256(100): アイ                 :  ×      0");
    EXPECT_EQ(rows[45], "300(12C): キク                 :  ○     77");
    EXPECT_EQ(rows[46], "301(12D):                      :  ×    255");
    EXPECT_EQ(rows[256], "511(1FF): ン                   :  ×      5");
}

TEST_F(TechniqueTest, LearnDataReportWithBothLists) {
    rom_.put(kList1, {5, 2, 7, 30, 200, 255, 9, 0, 0xFF});
    rom_.put(kList2, {0, 1, 3, 4, 0xFF});
    EXPECT_EQ(learn_data(), (std::vector<std::string>{
                                "[No.005(05): いか]",
                                kLearnDataHeader,
                                "007(07): アイウエオ           :   30",
                                "200(C8): カ                   :  255",
                                "",
                                "[No.009(09): ]",
                                kLearnDataHeader,
                                "",
                                "[No.000(00): あ]",
                                kLearnDataHeader,
                                "003(03): かき                 :    4",
                            }));
}

TEST_F(TechniqueTest, EmptyLearningListsGiveAnEmptyReport) { EXPECT_TRUE(learn_data().empty()); }

TEST_F(TechniqueTest, GroupCutAtTheEndOfTheWindowKeepsItsWholePairs) {
    // 510 empty groups of key 0 (zero bytes), then at byte 1020 a group that
    // claims five pairs of which one lies inside the window.
    rom_.at(kList1) = 0;
    rom_.put(kList1 + 1020, {4, 5, 3, 9});
    rom_.fill(kList1 + 1024, 16, 0x07);
    const auto rows = learn_data();
    ASSERT_EQ(rows.size(), 510u * 3 + 3);
    EXPECT_EQ(rows[0], "[No.000(00): あ]");
    EXPECT_EQ(rows[rows.size() - 4], "");
    EXPECT_EQ(rows[rows.size() - 3], "[No.004(04): ]");
    EXPECT_EQ(rows[rows.size() - 2], kLearnDataHeader);
    EXPECT_EQ(rows.back(), "003(03): かき                 :    9");
}
