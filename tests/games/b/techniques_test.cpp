// Game-B techniques: names, the technique block and the three technique
// reports.
#include "games/b/techniques.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr RecordTable kLowRecords{0x3E0F00, 14};
constexpr RecordTable kHighRecords{0x3E1D00, 16};  // techniques 256-511
constexpr RecordTable kLearnTypes{0x3E353F, 2};
constexpr long kDifficulties = 0x3E3D4B;
constexpr long kList1 = 0x3E3A4B;
constexpr long kList2 = 0x3E3F1B;

class TechniqueTest : public ReportTest {
protected:
    TechniqueTest() {
        put_names(rom_, kTechNames, {
            {0, {0x51}},                          // あ
            {3, {0x56, 0x57}},                    // かき
            {5, {0x52, 0x56}},                    // いか
            {7, {0x82, 0x83, 0x84, 0x85, 0x86}},  // アイウエオ
            {200, {0x87}},                        // カ
            {256, {0x82, 0x83}},                  // アイ
            {300, {0x88, 0x89}},                  // キク
            {511, {0xAE}},                        // ン
        });
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
    put_records(rom_, kLearnTypes, {{0, 0, {0x03, 0x00}}, {3, 0, {0x01, 0x80}}});
    put_records(rom_, kLowRecords, {
        {0, 6, {0x7F}},  // only bit 7 is the derivation flag
        {3, 6, {0x80}},
        {255, 6, {0x80}},
    });
    expect_lines(report_lines(common::write_learn_flags<mt3::Run, mt3::tech_name>), 257, {
        {0, kLearnFlagHeader},
        {1, "000(00): あ                   :   ×   ○   ○   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×"},
        {4, "003(03): かき                 :   ○   ○   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ○"},
        {256, "255(FF):                      :   ○   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×"},
    });
}

TEST_F(TechniqueTest, EvadeReportListsTheSecondHalfWithThreeHexDigits) {
    put_records(rom_, kHighRecords, {
        {44, 6, {0x08}},  // technique 300
        {45, 6, {0xF7}},  // technique 301: bit 3 clear
        {0, 6, {0x00}},
    });
    rom_.at(kLowRecords.at(255, 6)) = 0x08;  // last 14-byte record: not an evade flag
    rom_.put(kDifficulties + 44, {77, 255});
    rom_.at(kDifficulties + 255) = 5;
    expect_lines(report_lines(mt3::write_tech_evade_data), 257, {
        {0, "No.       名前                   見切  難度"},
        {1, "256(100): アイ                 :  ×      0"},
        {45, "300(12C): キク                 :  ○     77"},
        {46, "301(12D):                      :  ×    255"},
        {256, "511(1FF): ン                   :  ×      5"},
    });
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
    const size_t n = 510 * 3 + 3;
    expect_lines(learn_data(), n, {
        {0, "[No.000(00): あ]"},
        {n - 4, ""},
        {n - 3, "[No.004(04): ]"},
        {n - 2, kLearnDataHeader},
        {n - 1, "003(03): かき                 :    9"},
    });
}
