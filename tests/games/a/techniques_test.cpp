// Technique names, the technique block, the learning lists and the three
// technique reports.
#include "games/a/techniques.h"

#include <functional>
#include <string>
#include <vector>

#include "games/a/run.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt2_test;

namespace {

constexpr RecordTable kRecords{0x1E1B27, 10};
constexpr RecordTable kLearnTypes{0x1E26EF, 2};
constexpr long kDifficulties = 0x1E2CEF;
constexpr long kList1 = 0x1E2AEF;
constexpr long kList2 = 0x2C64A;

const char kEvadeHeader[] = "No.      名前                   見切  難度";

const char* const kFixed[11] = {
    "(通常攻撃: 剣)", "(通常攻撃: 大剣)", "(通常攻撃: 斧)", "(通常攻撃: 棍棒)",
    "(通常攻撃: 槍)", "(通常攻撃: 小剣)", "(通常攻撃: 弓)", "(通常攻撃: 爪)",
    "(傷薬)",         "(高級傷薬)",       "(通常攻撃: パンチ)",
};

// The name that the test images give a technique index (empty unless set).
std::string name_of(int index) {
    if (index < 11) return kFixed[index];
    if (index == 11) return "かきくけこさしすせそ";
    if (index == 200) return "剣";
    return "";
}

class TechniqueTest : public ReportTest {
protected:
    TechniqueTest() {
        put_names(rom_, kTechNames, {
            {11, {0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F}},
            {200, {0xFC}},
            {0, {0x51}},  // never shown: technique 0 has a fixed text
        });
    }

    const std::function<std::string(int)> prefix = row_prefix(2, 20, name_of);
};

std::string all_marks(const char* mark) {
    std::string s;
    for (int i = 0; i < 16; ++i) s += fmt("   %2s", mark);
    return s;
}

}  // namespace

TEST_F(TechniqueTest, NamesFixedTextsAndOutOfRange) {
    open();
    expect_names(mt2::tech_name, {{-1, ""}, {256, ""}, {0, "(通常攻撃: 剣)"}, {8, "(傷薬)"},
                                  {10, "(通常攻撃: パンチ)"}, {11, "かきくけこさしすせそ"},
                                  {200, "剣"}, {255, ""}});
}

TEST_F(TechniqueTest, LearnFlagReport) {
    put_records(rom_, kLearnTypes, {{11, 0, {0x01, 0x80}}, {200, 0, {0xFF, 0xFF}}});  // 11: TY00 and TY15
    put_records(rom_, kRecords, {
        {11, 9, {0x80}},   // derivation
        {200, 9, {0x40}},  // evade only
        {255, 9, {0xFF}},
    });
    EXPECT_EQ(prefix(0), "000(00): (通常攻撃: 剣)       :");
    expect_rows(common::write_learn_flags<mt2::Run, mt2::tech_name>, kLearnFlagHeader, 256, prefix, fmt("   %2s", "×") + all_marks("×"),
                {
                    {11,
                     "011(0B): かきくけこさしすせそ :   ○   ○   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×   ×"
                     "   ×   ×   ○"},
                    {200, prefix(200) + fmt("   %2s", "×") + all_marks("○")},
                    {255, prefix(255) + fmt("   %2s", "○") + all_marks("×")},
                });
}

TEST_F(TechniqueTest, EvadeReport) {
    put_records(rom_, kRecords, {{200, 9, {0x40}}, {11, 9, {0xBF}}});  // 11: derivation, not evade
    rom_.put(kDifficulties + 11, {255}).put(kDifficulties + 200, {7});
    expect_rows(mt2::write_tech_evade_data, kEvadeHeader, 256, prefix, fmt("  %2s    %3d", "×", 0),
                {
                    {11, "011(0B): かきくけこさしすせそ :  ×    255"},
                    {200, "200(C8): 剣                   :  ○      7"},
                    {10, "010(0A): (通常攻撃: パンチ)   :  ×      0"},
                });
}

TEST_F(TechniqueTest, LearningGroupsOfBothListsWithEmptyGroups) {
    rom_.put(kList1, {200, 2, 11, 5, 0, 250, 12, 0, 0xFF, 9, 9});
    rom_.put(kList2, {10, 1, 255, 1, 0xFF});
    expect_report(report_of(common::write_learning<mt2::Run, mt2::tech_name>), {
                                                             "[No.200(C8): 剣]",
                                                             kLearnDataHeader,
                                                             "011(0B): かきくけこさしすせそ :    5",
                                                             "000(00): (通常攻撃: 剣)       :  250",
                                                             "",
                                                             "[No.012(0C): ]",
                                                             kLearnDataHeader,
                                                             "",
                                                             "[No.010(0A): (通常攻撃: パンチ)]",
                                                             kLearnDataHeader,
                                                             "255(FF):                      :    1",
                                                         });
}

TEST_F(TechniqueTest, EmptyListsGiveAnEmptyReport) {
    const auto run = load<mt2::Run>();
    EXPECT_EQ(run->learning.group_count, 0);
    const std::string text = report(common::write_learning<mt2::Run, mt2::tech_name>, *run);
    EXPECT_EQ(text, "");
}

// A list without an end key ends where its cursor reaches the end of its
// 1024-byte window: here two groups of 255 entries fill it exactly.
TEST_F(TechniqueTest, ListWithoutEndKeyEndsWithItsWindow) {
    rom_.put(kList1, {11, 255}).fill(kList1 + 2, 510, 200);
    rom_.put(kList1 + 512, {12, 255}).fill(kList1 + 514, 510, 11);
    rom_.put(kList1 + 1024, {13, 1, 11, 11});  // beyond the window: never read
    rom_.put(kList2, {200, 0, 0xFF});
    std::vector<std::string> expected{"[No.011(0B): かきくけこさしすせそ]", kLearnDataHeader};
    for (int i = 0; i < 255; ++i) expected.push_back("200(C8): 剣                   :  200");
    expected.insert(expected.end(), {"", "[No.012(0C): ]", kLearnDataHeader});
    for (int i = 0; i < 255; ++i) expected.push_back("011(0B): かきくけこさしすせそ :   11");
    expected.insert(expected.end(), {"", "[No.200(C8): 剣]", kLearnDataHeader});
    expect_report(report_of(common::write_learning<mt2::Run, mt2::tech_name>), expected);
}

// A group whose entries reach past the window keeps only the pairs inside it
// and ends its list; a group at the window's last two bytes keeps none.
TEST_F(TechniqueTest, GroupCutByTheWindowKeepsThePairsInside) {
    rom_.put(kList1, {11, 254}).fill(kList1 + 2, 508, 0);
    rom_.put(kList1 + 510, {12, 254}).fill(kList1 + 512, 508, 0);
    rom_.put(kList1 + 1020, {200, 5, 11, 99});
    rom_.put(kList1 + 1024, {200, 98, 0xFF});  // the rest of the cut group lies outside
    rom_.put(kList2, {11, 254}).fill(kList2 + 2, 508, 0);
    rom_.put(kList2 + 510, {12, 255}).fill(kList2 + 512, 510, 0);
    rom_.put(kList2 + 1022, {200, 3});
    const auto run = load<mt2::Run>();
    const common::TechLearning* learning = &run->learning;
    ASSERT_EQ(learning->group_count, 6);
    EXPECT_EQ(learning->groups[2].key, 200);
    ASSERT_EQ(learning->groups[2].count, 1);
    EXPECT_EQ(learning->groups[2].entries[0].tech, 11);
    EXPECT_EQ(learning->groups[2].entries[0].difficulty, 99);
    EXPECT_EQ(learning->groups[3].count, 254);
    EXPECT_EQ(learning->groups[4].count, 255);
    EXPECT_EQ(learning->groups[5].key, 200);
    EXPECT_EQ(learning->groups[5].count, 0);

    const std::vector<std::string> lines = split_lines(report(common::write_learning<mt2::Run, mt2::tech_name>, *run));
    // 254 + 254 + 1 + 254 + 255 + 0 entry rows, two lines per group, five
    // empty lines between the groups.
    ASSERT_EQ(lines.size(), 1018u + 12u + 5u);
    const std::vector<std::string> cut_group(lines.begin() + 514, lines.begin() + 517);
    EXPECT_EQ(cut_group, (std::vector<std::string>{"[No.200(C8): 剣]", kLearnDataHeader,
                                                   "011(0B): かきくけこさしすせそ :   99"}));
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"", "[No.200(C8): 剣]", kLearnDataHeader}));
}
