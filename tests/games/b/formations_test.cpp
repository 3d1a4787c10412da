// Game-B formations: cumulative selection bounds, flag bytes and the report.
#include "games/b/formations.h"

#include <cstdlib>

#include "games/b/run.h"
#include "tests/support/report_fixture.h"

using namespace mt3_test;

namespace {
constexpr long kFormations = 0x3E68CB;  // 11 bytes each
const char kHeader[] = "No. 選択率 素早さ  前防 後防 近攻 遠攻 術攻";

class FormationTest : public ReportTest {};

}  // namespace

TEST_F(FormationTest, BlocksOfFiveMembers) {
    put_name(rom_, kFormationNames, 0, {0x51, 0x52});  // あい
    rom_.put(kFormations, {0x40, 0x80, 0xA0, 0xC0, 0xFF, 0x86, 0x03, 0x20, 0x10, 0x4D, 0x99});
    rom_.put(kFormations + 11, {0x80, 0x40});
    const auto rows = report_lines(common::write_formations<mt3::Run, mt3::kFormations>);
    ASSERT_EQ(rows.size(), 32u * 8 - 1);
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 10), (std::vector<std::string>{
                                                                              "[No.000(00): あい]",
                                                                              kHeader,
                                                                              "01:     64,    -2,  ○   ×   ×   ×   ×",
                                                                              "02:     64,    +3,  ×   ×   ×   ×   ×",
                                                                              "03:     32,    +0,  ×   ×   ○   ×   ×",
                                                                              "04:     32,    +0,  ×   ×   ×   ○   ×",
                                                                              "05:     63,    -1,  ×   ○   ×   ×   ○",
                                                                              "",
                                                                              "[No.001(01): ]",
                                                                              kHeader,
                                                                          }));
    EXPECT_EQ(rows[11], "02:    -64,    +0,  ×   ×   ×   ×   ×");
    EXPECT_EQ(rows[8 * 31], "[No.031(1F): ]");
    EXPECT_EQ(rows.back(), "05:      0,    +0,  ×   ×   ×   ×   ×");
}

TEST_F(FormationTest, Names) {
    put_name(rom_, kFormationNames, 31, {0xAE});
    open();
    expect_names(mt3::formation_name, {{31, "ン"}, {32, ""}, {-1, ""}});
}
