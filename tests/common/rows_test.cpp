// Row reports and the row pieces that the item, monster and character reports
// share.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/rows.h"
#include "tests/support/test_util.h"

namespace {

const char* letter_name(int index) {
    static const char* const names[] = {"a", "bb", ""};
    return index >= 0 && index < 3 ? names[index] : "";
}

class RowsTest : public ::testing::Test {
protected:
    // A two-row report whose rows come from row(text, index).
    template <typename Row>
    std::string rows(Row&& row) {
        return capture_output([&](common::ReportText& out) {
            common::write_row_report(out, "H\n", 2, common::RowPrefix{3, 16, letter_name}, row);
        });
    }

    // A sectioned report whose rows end with row(text, index, section).
    template <size_t N, typename Row>
    std::string sections(const common::Section (&list)[N], Row&& row) {
        return capture_output([&](common::ReportText& out) {
            common::write_section_report(out, list, N, common::RowPrefix{2, 20, letter_name}, row);
        });
    }
};

}  // namespace

TEST_F(RowsTest, ValueRows) {
    const int32_t rest[] = {1, -2, 300};
    EXPECT_EQ(rows([&](common::ReportText& f, int i) { common::print_value_row(f, i ? 65535 : 7, rest, i ? 3 : 0); }),
              "H\n"
              "000(000): a                :      7\n"
              "001(001): bb               :  65535,   1,  -2, 300\n");
}

TEST_F(RowsTest, TechniqueCells) {
    const int32_t techs[] = {1, 255, 0};
    EXPECT_EQ(rows([&](common::ReportText& f, int i) {
                  common::print_tech_cells(f, techs + i, 3 - i, letter_name);
                  f.ch('\n');
              }),
              "H\n"
              "000(000): a                :bb                  , --------------------, a                   \n"
              "001(001): bb               :--------------------, a                   \n");
}

TEST_F(RowsTest, SectionReport) {
    const common::Section list[] = {{0, 0, "S0\n"}, {1, 2, "S1\n"}};
    EXPECT_EQ(sections(list, [](common::ReportText& f, int, int s) { f.format(" %d\n", s); }),
              "S0\n"
              "000(00): a                    : 0\n"
              "S1\n"
              "001(01): bb                   : 1\n"
              "002(02):                      : 1\n");
    // Every index of a section, in ascending order, with its section number.
    const common::Section ranges[] = {{0, 1, "H1\n"}, {2, 2, "H2\n"}};
    EXPECT_EQ(sections(ranges, [](common::ReportText& f, int i, int s) { f.format("%d/%d\n", i, s); }),
              "H1\n"
              "000(00): a                    :0/0\n"
              "001(01): bb                   :1/0\n"
              "H2\n"
              "002(02):                      :2/1\n");
}
