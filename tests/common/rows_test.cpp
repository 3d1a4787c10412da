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
    // A two-row report whose rows come from row(stream, index).
    template <typename Row>
    std::string rows(Row&& row) {
        EXPECT_EQ(write_row_report(path_.c_str(), true, "H\n", 2, RowPrefix{3, 16, letter_name}, row), 1);
        return read_text_file(path_);
    }

    TempDir dir_;
    std::string path_ = dir_.file("rows.txt");
};

}  // namespace

TEST_F(RowsTest, ValueRows) {
    const int32_t rest[] = {1, -2, 300};
    EXPECT_EQ(rows([&](FILE* f, int i) { print_value_row(f, i ? 65535 : 7, rest, i ? 3 : 0); }),
              "H\n"
              "000(000): a                :      7\n"
              "001(001): bb               :  65535,   1,  -2, 300\n");
}

TEST_F(RowsTest, TechniqueCells) {
    const int32_t techs[] = {1, 255, 0};
    EXPECT_EQ(rows([&](FILE* f, int i) {
                  print_tech_cells(f, techs + i, 3 - i, letter_name);
                  fputc('\n', f);
              }),
              "H\n"
              "000(000): a                :bb                  , --------------------, a                   \n"
              "001(001): bb               :--------------------, a                   \n");
}

TEST_F(RowsTest, SectionReport) {
    const Section sections[] = {{0, 0, "S0\n"}, {1, 2, "S1\n"}};
    EXPECT_EQ(write_section_report(path_.c_str(), true, sections, 2, RowPrefix{2, 20, letter_name},
                                   [](FILE* f, int, int s) { fprintf(f, " %d\n", s); }),
              1);
    EXPECT_EQ(read_text_file(path_),
              "S0\n"
              "000(00): a                    : 0\n"
              "S1\n"
              "001(01): bb                   : 1\n"
              "002(02):                      : 1\n");
    // Every index of a section, in ascending order, with its section number.
    const Section ranges[] = {{0, 1, "H1\n"}, {2, 2, "H2\n"}};
    EXPECT_EQ(write_section_report(path_.c_str(), true, ranges, 2, RowPrefix{2, 20, letter_name},
                                   [](FILE* f, int i, int s) { fprintf(f, "%d/%d\n", i, s); }),
              1);
    EXPECT_EQ(read_text_file(path_),
              "H1\n"
              "000(00): a                    :0/0\n"
              "001(01): bb                   :1/0\n"
              "H2\n"
              "002(02):                      :2/1\n");
}

TEST_F(RowsTest, MissingBlockWritesNothing) {
    EXPECT_EQ(write_row_report(path_.c_str(), false, "H\n", 2, RowPrefix{3, 16, letter_name}, [](FILE*, int) {}), 0);
    EXPECT_FALSE(file_exists(path_));
}
