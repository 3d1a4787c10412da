// Report helpers: marks, bit labels, race and type names, saving a report,
// row prefixes, sections and blocks, and the report loop of the driver.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/driver.h"
#include "common/labels.h"
#include "common/report.h"
#include "games/a/labels.h"
#include "games/b/labels.h"
#include "tests/support/test_util.h"

TEST(Labels, Marks) {
    EXPECT_STREQ(common::mark_of(1), "○");
    EXPECT_STREQ(common::mark_of(-5), "○");
    EXPECT_STREQ(common::mark_of(0), "×");
}

TEST(Labels, BitLabelsBit7First) {
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels(f, 0x81, 0xFF, mt2::kLabels); }), "斬・・・・・・状");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels(f, 0x40, 0xFF, mt2::kLabels); }), "・殴・・・・・・");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels(f, 0x40, 0xFF, mt3::kLabels); }), "・打・・・・・・");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels2(f, 0x40, 0xFF, mt2::kLabels); }),
              "・痺・・・・・・");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels2(f, 0x40, 0xFF, mt3::kLabels); }),
              "・??・・・・・・");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels2(f, 0xFF, 0xFF, mt2::kLabels); }),
              "死痺眠暗精毒圧ス");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels2(f, 0xFF, 0xFF, mt3::kLabels); }),
              "死??痺眠暗精毒ス");
}

TEST(Labels, MaskSelectsTheCells) {
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels(f, 0xFF, 0, mt2::kLabels); }), "");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_bit_labels(f, 0x09, 0x0F, mt2::kLabels); }), "熱・・状");
}

TEST(Labels, RaceAndTypeNames) {
    EXPECT_STREQ(common::race_name(0, mt2::kLabels), "--------");
    EXPECT_STREQ(common::race_name(0, mt3::kLabels), "----");
    EXPECT_STREQ(common::race_name(12, mt2::kLabels), "火の精霊");
    EXPECT_STREQ(common::race_name(15, mt3::kLabels), "巨人");
    EXPECT_STREQ(common::race_name(-1, mt2::kLabels), "");
    EXPECT_STREQ(common::race_name(16, mt3::kLabels), "");
    EXPECT_STREQ(mt3::type_name(0), "------");
    EXPECT_STREQ(mt3::type_name(7), "アビス");
    EXPECT_STREQ(mt3::type_name(8), "");
    EXPECT_STREQ(mt3::type_name(-1), "");
}

TEST(Report, RowPrefixes) {
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_row_prefix(f, 300, 3, "あい", 16); }),
              "300(12C): あい             :");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_row_prefix(f, 17, 2, "", 16); }), "017(11):                  :");
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_row_prefix(f, 5, 2, "x", 20); }),
              "005(05): x                    :");
    // A name longer than its column pushes the rest of the row to the right.
    EXPECT_EQ(capture_output([](common::ReportText& f) { common::print_row_prefix(f, 1, 3, "あいうえおかきくけ", 16); }),
              "001(001): あいうえおかきくけ :");
}

TEST(Report, BlocksAndIntegerLists) {
    EXPECT_EQ(capture_output([](common::ReportText& f) {
                  common::BlockSeparator sep;
                  for (int i = 0; i < 3; ++i) {
                      sep.next(f);
                      f.format("b%d\n", i);
                  }
              }),
              "b0\n\nb1\n\nb2\n");
    const int values[] = {1, -2, 300};
    EXPECT_EQ(capture_output([&](common::ReportText& f) { common::print_int_list(f, values, 3, 3); }), "  1,  -2, 300");
}

// A report is saved in one piece, as fopen(path, "w") opens it; a file that
// cannot be created or completely written, or the image itself, fails.
TEST(Report, SaveReport) {
    TempDir dir;
    RomBuilder(0x100).write(dir.file("image.smc"));
    common::RomImage image;
    ASSERT_TRUE(image.open(dir.file("image.smc").c_str(), "MERIDIAN TALES2      ", 0x100));
    common::ReportText text;
    text.str("x\n");
    EXPECT_FALSE(common::save_report(dir.file("no/such/dir.txt").c_str(), text, image));
    EXPECT_EQ(errno, ENOENT);
    write_file(dir.file("a.txt"), std::string(1000, 'o'));
    EXPECT_TRUE(common::save_report(dir.file("a.txt").c_str(), text, image));
    EXPECT_EQ(read_text_file(dir.file("a.txt")), "x\n");
    EXPECT_FALSE(common::save_report(dir.file("image.smc").c_str(), text, image));
    EXPECT_EQ(errno, EBUSY);
    EXPECT_EQ(read_file(dir.file("image.smc")).size(), 0x100u);
    if (!have_dev_full()) GTEST_SKIP() << "no /dev/full";
    errno = 0;
    EXPECT_FALSE(common::save_report("/dev/full", text, image));
    EXPECT_EQ(errno, ENOSPC);
}

TEST(Driver, ReportLoopWarnsAndGoesOn) {
    TempDir dir;
    const std::string prefix = dir.path() + "/";
    int calls = 0;
    const common::ReportJob jobs[] = {
        {"one.txt",
         [&](const char* path) {
             ++calls;
             write_file(path, std::string());
             return true;
         }},
        {"two.txt",
         [&](const char*) {
             ++calls;
             errno = EACCES;
             return false;
         }},
        {"three.txt",
         [&](const char* path) {
             ++calls;
             write_file(path, std::string());
             return true;
         }},
    };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(common::write_reports(prefix.c_str(), jobs, 3));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot create file - " + prefix + "two.txt: " + strerror(EACCES) + "\n");
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(file_exists(dir.file("three.txt")));

    testing::internal::CaptureStderr();
    EXPECT_TRUE(common::write_reports(prefix.c_str(), jobs, 1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(Driver, OverlongReportPathIsNeverCut) {
    const std::string prefix(1015, 'p');
    int calls = 0;
    const common::ReportJob jobs[] = {
        {"short.txt", [&](const char*) { ++calls; return 1; }},        // 1015 + 9 = 1024: too long
        {"s.txt", [&](const char* path) { ++calls; return strlen(path) == 1020 ? 1 : 0; }},
    };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(common::write_reports(prefix.c_str(), jobs, 2));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot create file - " + prefix + "short.txt: " + strerror(ENAMETOOLONG) + "\n");
    EXPECT_EQ(calls, 1);
}
