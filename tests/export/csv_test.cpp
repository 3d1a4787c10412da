// CSV fields and bit labels of the exporters' table writer.
#include <gtest/gtest.h>

#include "export/table.h"

TEST(ExportCsv, FieldsAreQuotedOnlyWhereNeeded) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"スライム", "スライム"},
        {"a b", "a b"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"\n", "\"\n\""},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(csv_field(text), field) << text;
}

TEST(ExportCsv, BitLabelsInBothOrders) {
    const char* const labels[4] = {"w", "x", "y", "z"};
    EXPECT_EQ(bit_labels(0x9, labels, 4).labels, (std::vector<const char*>{labels[0], labels[3]}));
    EXPECT_EQ(bit_labels(0x6, labels, 4, BitOrder::kLowestFirst).labels,
              (std::vector<const char*>{labels[1], labels[2]}));
    EXPECT_TRUE(bit_labels(0, labels, 4).labels.empty());
}
