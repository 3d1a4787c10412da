// The row-report helpers that the item, monster and character reports share.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/rows.h"
#include "test_util.h"

namespace {

template <typename F>
std::string capture(F&& print) {
    char* buf = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&buf, &len);
    print(f);
    fclose(f);
    std::string s(buf, len);
    free(buf);
    return s;
}

const char* letter_name(int index) {
    static const char* const names[] = {"a", "bb", ""};
    return index >= 0 && index < 3 ? names[index] : "";
}

}  // namespace

TEST(Rows, ValueRow) {
    const int32_t rest[] = {1, -2, 300};
    EXPECT_EQ(capture([&](FILE* f) { print_value_row(f, 65535, rest, 3); }), "  65535,   1,  -2, 300\n");
    EXPECT_EQ(capture([&](FILE* f) { print_value_row(f, 7, rest, 0); }), "      7\n");
}

TEST(Rows, TechniqueCells) {
    const int32_t techs[] = {1, 255, 0};
    EXPECT_EQ(capture([&](FILE* f) { print_tech_cells(f, techs, 3, letter_name); }),
              "bb                  , --------------------, a                   ");
}

TEST(Rows, RowReportAndSectionReport) {
    TempDir dir;
    const RowPrefix prefix{3, 16, letter_name};
    const std::string path = dir.file("rows.txt");
    EXPECT_EQ(write_row_report(path.c_str(), true, "H\n", 2, prefix, [](FILE* f, int i) { fprintf(f, " %d\n", i); }),
              1);
    EXPECT_EQ(read_file(path), "H\n000(000): a                : 0\n001(001): bb               : 1\n");
    const Section sections[] = {{0, 0, "S0\n"}, {1, 2, "S1\n"}};
    const RowPrefix two{2, 20, letter_name};
    EXPECT_EQ(write_section_report(path.c_str(), true, sections, 2, two,
                                   [](FILE* f, int, int s) { fprintf(f, " %d\n", s); }),
              1);
    EXPECT_EQ(read_file(path), "S0\n000(00): a                    : 0\nS1\n001(01): bb                   : 1\n"
                               "002(02):                      : 1\n");
    EXPECT_EQ(write_row_report(dir.file("none.txt").c_str(), false, "H\n", 2, prefix, [](FILE*, int) {}), 0);
    EXPECT_FALSE(file_exists(dir.file("none.txt")));
}
