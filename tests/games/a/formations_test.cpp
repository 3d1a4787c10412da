// Formation names, the formation block and the formation report.
#include "games/a/formations.h"

#include <string>
#include <vector>

#include "games/a/run.h"
#include "tests/support/report_fixture.h"

using namespace mt2_test;

namespace {

constexpr long kRecords = 0x1E7512;

const char kHeader[] = "No. 選択率 素早さ  前防 後防 近攻 遠攻 術攻 後防(実際)";
const char kRowFormat[] = "%02d:  %5d, %+5d,  %2s   %2s   %2s   %2s   %2s     %2s";

class FormationTest : public ReportTest {
protected:
    FormationTest() {
        put_name(rom_, kFormationNames, 1, {0x82, 0x60, 0xA6, 0x8E});  // アたユス
        put_name(rom_, kFormationNames, 15, {0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A});
    }
    void entry(int formation, int position, std::initializer_list<uint8_t> bytes) {
        rom_.put(kRecords + 16 * formation + 3 * (position - 1), bytes);
    }
};

std::string name_of(int n) { return n == 1 ? "アたユス" : n == 15 ? "あいうえおかきくけこ" : ""; }

}  // namespace

TEST_F(FormationTest, NamesAndOutOfRange) {
    open();
    expect_names(mt2::formation_name, {{1, "アたユス"}, {0, ""}, {-1, ""}, {16, ""}});
}

TEST_F(FormationTest, Report) {
    entry(1, 1, {0x00, 0x3F, 0x80});
    entry(1, 2, {0x20, 0x20, 0x05});
    entry(1, 3, {0x40, 0x10, 0x07});
    entry(1, 4, {0x00, 0xFF, 0x02});
    entry(1, 5, {0x01, 0x00, 0x06});
    entry(15, 1, {0, 0, 0x20});
    entry(15, 2, {0, 0, 0x10});
    entry(15, 3, {0, 0, 0x08});
    entry(15, 4, {0, 0, 0x40});
    entry(15, 5, {0xFF, 0xFF, 0xFF});
    rom_.put(kRecords + 16 * 15 + 15, {0xFF});  // the unused last byte
    std::vector<std::string> expected;
    for (int n = 0; n < 16; ++n) {
        if (n) expected.push_back("");
        expected.push_back(fmt("[No.%03d(%02X): %s]", n, n, name_of(n).c_str()));
        expected.push_back(kHeader);
        for (int p = 1; p <= 5; ++p) expected.push_back(fmt(kRowFormat, p, 1, 0, "×", "×", "×", "×", "×", "×"));
    }
    const size_t f1 = 7 + 1;
    expected[f1 + 2] = "01:     64,    +0,  ○   ×   ×   ×   ×     ×";
    expected[f1 + 3] = "02:      1,    -1,  ×   ×   ×   ×   ×     ○";
    expected[f1 + 4] = "03:    -47,    -3,  ×   ×   ×   ×   ×     ○";
    expected[f1 + 5] = "04:    256,    +2,  ×   ×   ×   ×   ×     ×";
    expected[f1 + 6] = "05:      0,    -2,  ×   ×   ×   ×   ×     ×";
    const size_t f15 = 15 * 8;
    expected[f15] = "[No.015(0F): あいうえおかきくけこ]";
    expected[f15 + 2] = fmt(kRowFormat, 1, 1, 0, "×", "×", "○", "×", "×", "×");
    expected[f15 + 3] = fmt(kRowFormat, 2, 1, 0, "×", "×", "×", "○", "×", "×");
    expected[f15 + 4] = fmt(kRowFormat, 3, 1, 0, "×", "×", "×", "×", "○", "×");
    expected[f15 + 5] = fmt(kRowFormat, 4, 1, 0, "×", "○", "×", "×", "×", "×");
    expected[f15 + 6] = "05:      1,    -3,  ○   ○   ○   ○   ○     ○";
    EXPECT_EQ(expected[0], "[No.000(00): ]");
    EXPECT_EQ(expected.size(), 16u * 7 + 15);
    expect_report(report_of(common::write_formations<mt2::Run, mt2::kFormations>), expected);
}
