#include "import/edited.h"

#include <gtest/gtest.h>

namespace {

using Records = std::vector<std::vector<std::string>>;

Records fields_of(const std::vector<CsvRecord>& records) {
    Records out;
    for (const CsvRecord& r : records) out.push_back(r.fields);
    return out;
}

// A CSV file as the exporter writes it and as spreadsheets save it again.
TEST(ParseCsv, ReadsWhatSpreadsheetsSave) {
    const Records expected = {{"index", "name"}, {"0", "オオカミ"}, {"1", "a,\"b\"\r\nc"}};
    const char* const texts[] = {
        "\xEF\xBB\xBFindex,name\r\n0,オオカミ\r\n1,\"a,\"\"b\"\"\r\nc\"\r\n",
        "index,name\n0,オオカミ\n1,\"a,\"\"b\"\"\r\nc\"",
        "\"index\",\"name\"\r\n\"0\",\"オオカミ\"\r\n,\r\n1,\"a,\"\"b\"\"\r\nc\"\r\n\r\n",
    };
    for (const char* text : texts) {
        std::vector<CsvRecord> records;
        std::string error;
        ASSERT_TRUE(parse_csv(text, &records, &error)) << error;
        EXPECT_EQ(fields_of(records), expected) << text;
    }
}

TEST(ParseCsv, RefusesOpenAndMisplacedQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"a,b\n1,\"open\n", "line 2: a quote is never closed"},
        {"a,b\n\"x\"y,1\n", "line 2: text after a closing quote"},
    };
    for (const auto& [text, why] : cases) {
        std::vector<CsvRecord> records;
        std::string error;
        EXPECT_FALSE(parse_csv(text, &records, &error));
        EXPECT_EQ(error, why);
    }
}

// Two tables of the exporter's shape: monsters with their actions.
std::vector<Table> tables() {
    Table actions{"actions", "monster-actions", [](int) { return 0; }, {}, {}, {}};
    actions.columns = {number_column({"slot", ""}, [](const Row&) { return 0; }),
                       number_column({"tech", ""}, [](const Row&) { return 0; })};
    actions.parent_keys = {{"index", "monster"}};
    Table monsters{"monsters", "monsters", [](int) { return 0; }, {}, {}, {}};
    monsters.columns = {index_column(), text_column({"name", ""}, [](const Row&) { return ""; }),
                        number_column({"hp", ""}, [](const Row&) { return 0; })};
    monsters.children.push_back(actions);
    return {monsters};
}

TEST(ReadCsvTable, FindsTableByNameAndColumnsByHeader) {
    EditedTable t;
    std::string error;
    ASSERT_TRUE(read_csv_table("dir/mt2-monster-actions.csv", "tech,monster\r\n7,3\r\n", "mt2", tables(), &t, &error))
        << error;
    EXPECT_EQ(t.columns, (std::vector<std::string>{"monster", "slot", "tech"}));
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0].where, "row 2");
    EXPECT_EQ(t.rows[0].cells, (std::vector<std::string>{"3", "", "7"}));
    EXPECT_EQ(t.rows[0].present, (std::vector<bool>{true, false, true}));

    EXPECT_FALSE(read_csv_table("mt2-bosses.csv", "index\n", "mt2", tables(), &t, &error));
    EXPECT_FALSE(read_csv_table("mt3-monsters.csv", "index\n", "mt2", tables(), &t, &error));
    EXPECT_FALSE(read_csv_table("mt2-monsters.csv", "index,mp\n", "mt2", tables(), &t, &error));
    EXPECT_EQ(error, "the header names a column the table has not: \"mp\"");
}

TEST(ReadJsonTables, FlattensChildrenWithTheirParentsKeys) {
    const std::string doc = R"({"format":"meridian-tools-export","version":2,"game":"A","rom":{"crc32":"66CD6839"},
        "tables":{"monsters":[{"index":4,"name":"オオカミ","hp":112,"actions":[{"slot":1,"tech":9}]}]}})";
    std::vector<EditedTable> out;
    std::string crc, error;
    ASSERT_TRUE(read_json_tables("mt2.json", doc, "A", tables(), &out, &crc, &error)) << error;
    EXPECT_EQ(crc, "66CD6839");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].table, "monsters");
    EXPECT_EQ(out[0].rows.at(0).cells, (std::vector<std::string>{"4", "オオカミ", "112"}));
    EXPECT_EQ(out[1].table, "monster-actions");
    EXPECT_EQ(out[1].rows.at(0).where, "monsters[0].actions[0]");
    EXPECT_EQ(out[1].rows.at(0).cells, (std::vector<std::string>{"4", "1", "9"}));

    EXPECT_FALSE(read_json_tables("mt2.json", doc, "B", tables(), &out, &crc, &error));
    EXPECT_FALSE(read_json_tables("mt2.json", "{\"format\":1", "A", tables(), &out, &crc, &error));
}

// Members of the wrong type are told apart, never thrown at the reader.
TEST(ReadJsonTables, MembersOfAnotherTypeAreNoStrings) {
    const struct {
        const char* doc;
        bool read;
    } cases[] = {
        {R"({"format":1,"game":"A","tables":{}})", false},
        {R"({"format":"meridian-tools-export","game":["A"],"tables":{}})", false},
        {R"({"format":"meridian-tools-export","game":"A","rom":{"crc32":5},"tables":{}})", true},
        {R"({"format":"meridian-tools-export","game":"A","rom":{"crc32":null},"tables":{}})", true},
    };
    for (const auto& c : cases) {
        std::vector<EditedTable> out;
        std::string crc = "unset", error;
        bool read = false;
        EXPECT_NO_THROW(read = read_json_tables("mt2.json", c.doc, "A", tables(), &out, &crc, &error)) << c.doc;
        EXPECT_EQ(read, c.read) << c.doc;
        if (c.read) {
            EXPECT_EQ(crc, "") << c.doc;
        }
    }
}

}  // namespace
