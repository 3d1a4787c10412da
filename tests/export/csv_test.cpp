// CSV fields, bit labels and the viewer page of the exporters' table writer.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "export/rom_table.h"
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

namespace {

// The text of the page's script element with this id.
std::string script_text(const std::string& page, const std::string& id) {
    const std::string open = "<script type=\"application/json\" id=\"" + id + "\">";
    const size_t from = page.find(open);
    if (from == std::string::npos) return "";
    const size_t start = from + open.size();
    return page.substr(start, page.find("</script>", start) - start);
}

const char* markup_name(int i) {
    const char* const names[3] = {"</script><script>alert(1)</script>", "<!--", "a<b>&amp;\"c\""};
    return i < 3 ? names[i] : "";
}

}  // namespace

// Names that look like markup stay inside the page's data: the document in
// the page is the JSON document, and the column descriptions name the table a
// reference points into.
TEST(ExportPage, HoldsTheJsonDocumentWhateverTheNames) {
    Table table{"monsters", "monsters", [](int) { return 3; }, {}, {}, {}};
    table.columns.push_back(text_column({"name", "Name"}, [](const Row& r) { return markup_name(r.index); }));
    add_reference(table.columns, {"drop", "Drop"}, [](const Row& r) { return r.index; }, {"items", markup_name});
    const std::vector<Table> tables = {table};
    const Table rom = rom_table({"</script>", true, false, 512, {}});
    const std::string page = page_document("A", rom, tables);
    const std::string document = json_document("A", rom, tables);

    const std::string data = script_text(page, "mt-export");
    EXPECT_EQ(data.find('<'), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(data), nlohmann::json::parse(document));
    const auto columns = nlohmann::json::parse(script_text(page, "mt-columns"))["tables"]["monsters"]["columns"];
    EXPECT_EQ(columns, nlohmann::json::parse(R"([{"key":"name","label":"Name"},
                                                 {"key":"drop","label":"Drop","references":"items"},
                                                 {"key":"drop_name","label":"Drop"}])"));
}
