#include "import/edited.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

using namespace exporter;
using namespace importer;

namespace {

using Records = std::vector<std::vector<std::string>>;

Records fields_of(const std::vector<CsvRecord>& records) {
    Records out;
    for (const CsvRecord& r : records) out.push_back(r.fields);
    return out;
}

// The message of a reader's error ("" when it read).
template <typename T>
std::string error_of(const common::Result<T>& result) {
    return result ? std::string() : result.error().lines.front();
}

// Each of the texts read into the same records.
void expect_each_reads_as(std::initializer_list<const char*> texts, const Records& expected) {
    for (const char* text : texts) {
        const common::Result<std::vector<CsvRecord>> records = parse_csv(text);
        ASSERT_TRUE(records) << error_of(records);
        EXPECT_EQ(fields_of(*records), expected) << text;
    }
}

// A CSV file as the exporter writes it and as spreadsheets save it again.
TEST(ParseCsv, ReadsWhatSpreadsheetsSave) {
    ASSERT_NO_FATAL_FAILURE(expect_each_reads_as(
        {
            "\xEF\xBB\xBFindex,name\r\n0,オオカミ\r\n1,\"a,\"\"b\"\"\r\nc\"\r\n",
            "index,name\n0,オオカミ\n1,\"a,\"\"b\"\"\r\nc\"",
            "\"index\",\"name\"\r\n\"0\",\"オオカミ\"\r\n,\r\n1,\"a,\"\"b\"\"\r\nc\"\r\n\r\n",
        },
        {{"index", "name"}, {"0", "オオカミ"}, {"1", "a,\"b\"\r\nc"}}));
}

TEST(ParseCsv, RefusesOpenAndMisplacedQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"a,b\n1,\"open\n", "line 2: a quote is never closed"},
        {"a,b\n\"x\"y,1\n", "line 2: text after a closing quote"},
    };
    for (const auto& [text, why] : cases) {
        const common::Result<std::vector<CsvRecord>> records = parse_csv(text);
        EXPECT_FALSE(records);
        EXPECT_EQ(error_of(records), why);
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
    const common::Result<EditedTable> read = read_csv_table("dir/mt2-monster-actions.csv", "tech,monster\r\n7,3\r\n", "mt2", tables());
    ASSERT_TRUE(read) << error_of(read);
    const EditedTable& t = *read;
    EXPECT_EQ(t.columns, (std::vector<std::string>{"monster", "slot", "tech"}));
    ASSERT_EQ(t.row_count(), 1u);
    EXPECT_EQ(t.row(0).where, "row 2");
    EXPECT_EQ(t.row(0).cells, (std::vector<std::string>{"3", "", "7"}));
    EXPECT_EQ(t.row(0).present, (std::vector<bool>{true, false, true}));

    EXPECT_FALSE(read_csv_table("mt2-bosses.csv", "index\n", "mt2", tables()));
    EXPECT_FALSE(read_csv_table("mt3-monsters.csv", "index\n", "mt2", tables()));
    EXPECT_EQ(error_of(read_csv_table("mt2-monsters.csv", "index,mp\n", "mt2", tables())), "the header names a column the table has not: \"mp\" (did you mean \"hp\"?)");
}

TEST(ReadJsonTables, FlattensChildrenWithTheirParentsKeys) {
    const std::string doc = R"({"format":"meridian-tools-export","version":2,"game":"A","rom":{"crc32":"66CD6839"},
        "tables":{"monsters":[{"index":4,"name":"オオカミ","hp":112,"actions":[{"slot":1,"tech":9}]}]}})";
    const common::Result<EditedDocument> read = read_json_tables("mt2.json", doc, "A", tables());
    ASSERT_TRUE(read) << error_of(read);
    const std::vector<EditedTable>& out = read->tables;
    EXPECT_EQ(read->id.crc32, "66CD6839");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].table, "monsters");
    EXPECT_EQ(out[0].row(0).cells, (std::vector<std::string>{"4", "オオカミ", "112"}));
    EXPECT_EQ(out[1].table, "monster-actions");
    EXPECT_EQ(out[1].row(0).where, "monsters[0].actions[0]");
    EXPECT_EQ(out[1].row(0).cells, (std::vector<std::string>{"4", "1", "9"}));

    EXPECT_FALSE(read_json_tables("mt2.json", doc, "B", tables()));
    EXPECT_FALSE(read_json_tables("mt2.json", "{\"format\":1", "A", tables()));
}

// Members of the wrong type, versions other than the export's and keys given
// twice are refused in plain words, never thrown at the reader.
TEST(ReadJsonTables, RefusesWrongTypesVersionsAndKeysGivenTwice) {
    const std::string head = R"({"format":"meridian-tools-export","game":"A","version":2,)";
    const std::pair<std::string, const char*> cases[] = {
        {R"({"format":5})", "not an export document: \"format\" is a whole number, not \"meridian-tools-export\""},
        {R"({"format":1,"game":"A","tables":{}})", "not an export document: \"format\" is a whole number, not"},
        {R"({"format":null})", "not an export document: \"format\" is null, not"},
        {R"({"format":{"a":1}})", "not an export document: \"format\" is an object, not"},
        {R"({"format":"meridian-tools-export","game":["A"],"tables":{}})", "not an export of game A: \"game\" is a list"},
        {R"({"format":"meridian-tools-export","game":7})", "not an export of game A: \"game\" is a whole number"},
        {R"({"format":"meridian-tools-export","game":"A","version":"two"})", "\"version\" is \"two\", not the number 2"},
        {R"({"format":"meridian-tools-export","game":"A","version":99})", "\"version\" is 99; this importer reads version 2"},
        {R"({"format":"meridian-tools-export","game":"A","version":2.5})", "\"version\" is a fraction, not the number 2"},
        {R"({"format":"meridian-tools-export","game":"A","tables":{}})", "no \"version\""},
        {head + R"("rom":{"crc32":5},"tables":{}})", "\"rom\".\"crc32\" is a whole number, not a text"},
        {head + R"("rom":{"rom_crc32":null},"tables":{}})", "\"rom\".\"rom_crc32\" is null, not a text"},
        {head + R"("rom":{"rom_crc32":["7B8128D2"]},"tables":{}})", "\"rom\".\"rom_crc32\" is a list, not a text"},
        {head + R"("rom":5})", "\"rom\" is a whole number, not an object"},
        {head + R"("tables":[]})", "\"tables\" is no object"},
        {head + R"("game":"A"})", "the document gives the key \"game\" twice"},
        {head + R"("rom":{"crc32":"1","crc32":"2"}})", "\"rom\" gives the key \"crc32\" twice"},
        {head + R"("tables":{"monsters":[{"index":1,"hp":2,"hp":3}]}})", "monsters[0] gives the key \"hp\" twice"},
        {head + R"("x":{"y":{"z":1,"z":1}}})", "gives the key \"z\" twice"},
        {head + R"("tables":{"monsters":[{"index":1,"hp":2.5}]}})", "monsters[0]: the value of \"hp\" is no value"},
        {head + R"("tables":{"monsters":[{"index":1,"hp":{}}]}})", "monsters[0]: the value of \"hp\" is no value"},
        {head + R"("tables":{"monsters":[5]}})", "monsters[0] is no row"},
        {head + R"("tables":{"monsters":{}}})", "monsters is no list of rows"},
        {head + R"("tables":{"bosses":[]}})", "no table of the export is called \"bosses\""},
        {"[1]", "not an export document: not an object"},
        {"{\"format\":1", "not an export document"},
    };
    for (const auto& [doc, why] : cases) {
        std::string error;
        EXPECT_NO_THROW(error = error_of(read_json_tables("mt2.json", doc, "A", tables()))) << doc;
        EXPECT_FALSE(error.empty()) << doc;
        EXPECT_EQ(error.find(why) == std::string::npos ? error : why, why) << doc;
    }
}

// Rows in any key order (a child list before its parent's key), row objects
// without a value passed over as blank lines are, and both CRC32s.
TEST(ReadJsonTables, ReadsRowsInAnyKeyOrderAndPassesOverEmptyRows) {
    const std::string doc = R"({"format":"meridian-tools-export","version":2,"game":"A",
        "rom":{"crc32":"0x66cd6839","rom_crc32":"7B8128D2","md5":"x"},"other":[{"a":[1,{}]}],
        "tables":{"monsters":[{},{"actions":[{"tech":9,"slot":1},{}],"hp":7,"index":4},{},{"name":null,"index":5}]}})";
    const common::Result<EditedDocument> read = read_json_tables("mt2.json", doc, "A", tables());
    ASSERT_TRUE(read) << error_of(read);
    const std::vector<EditedTable>& out = read->tables;
    EXPECT_EQ(read->id.crc32, "0x66cd6839");
    EXPECT_EQ(read->id.rom_crc32, "7B8128D2");
    ASSERT_EQ(out.size(), 2u);
    ASSERT_EQ(out[0].row_count(), 2u);
    EXPECT_EQ(out[0].row(0).where, "monsters[1]");
    EXPECT_EQ(out[0].row(0).cells, (std::vector<std::string>{"4", "", "7"}));
    EXPECT_EQ(out[0].row(0).present, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(out[0].row(1).where, "monsters[3]");
    EXPECT_EQ(out[0].row(1).present, (std::vector<bool>{true, true, false}));
    ASSERT_EQ(out[1].row_count(), 1u);
    EXPECT_EQ(out[1].row(0).where, "monsters[1].actions[0]");
    EXPECT_EQ(out[1].row(0).cells, (std::vector<std::string>{"4", "1", "9"}));
}

// Text in every encoding a spreadsheet saves: UTF-8 with or without its
// mark, UTF-16 with its mark in either byte order, code page 932.
TEST(DecodeText, FindsTheEncodingWithoutAnOption) {
    const std::string utf8 = "index,name\r\n0,\xE3\x82\xAA\xE3\x82\xAA\xE3\x82\xAB\xE3\x83\x9F\r\n";  // オオカミ
    std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
    for (char c : std::string("index,name\r\n0,")) {
        utf16le += std::string{c, '\0'};
        utf16be += std::string{'\0', c};
    }
    for (const char* kana : {"\xAA\x30", "\xAA\x30", "\xAB\x30", "\xDF\x30"}) {
        utf16le += std::string(kana, 2);
        utf16be += std::string{kana[1], kana[0]};
    }
    utf16le += std::string("\r\0\n\0", 4);
    utf16be += std::string("\0\r\0\n", 4);
    const std::string cp932 = "index,name\r\n0,\x83\x49\x83\x49\x83\x4A\x83\x7E\r\n";
    for (const std::string& text : {utf8, "\xEF\xBB\xBF" + utf8, utf16le, utf16be, cp932}) {
        const common::Result<std::string> decoded = decode_text(text);
        ASSERT_TRUE(decoded) << error_of(decoded);
        EXPECT_EQ(*decoded, utf8);
    }
    const std::pair<std::string, const char*> bad[] = {
        {"index,name\n0,\xE3\x82\xAA\x81\x20\n",
         "not a text in UTF-8 (byte 0x81 at offset 16 begins no character) nor in code page 932 (byte 0x81 at offset "
         "16 begins none)"},
        {"\xEF\xBB\xBFindex\n\x83\x49\n", "not UTF-8 as its byte-order mark says: byte 0x83 at offset 9 begins no character"},
        {std::string("\xFF\xFE" "a\0\x00\xDC", 6), "not UTF-16 as its byte-order mark says: byte 0x00 at offset 4 begins no character"},
        {"\xEF\xBB\xBF" "0,\xE3\x82", "not UTF-8 as its byte-order mark says: byte 0xE3 at offset 5 begins no character"},
        {std::string("\xFF\xFE" "a\0b", 5), "not UTF-16 as its byte-order mark says: byte 0x62 at offset 4 begins no character"},
    };
    for (const auto& [text, why] : bad) EXPECT_EQ(error_of(decode_text(text)), why);
}

// Separators and line ends as spreadsheets write them.
TEST(ParseCsv, FindsTheSeparatorAndEveryLineEnd) {
    // Not among them: "\"index\"\t\"name\"\r0\ta;b,c\"\td\"\r1\t", a quote inside an
    // unquoted field.
    ASSERT_NO_FATAL_FAILURE(expect_each_reads_as(
        {
            "index,name\r0,\"a;b,c\td\"\r1,\r",
            "index;name\n0;\"a;b,c\td\"\n1;",
            "index\tname\r\n0\t\"a;b,c\td\"\r\n1\t\r\n",
        },
        {{"index", "name"}, {"0", "a;b,c\td"}, {"1", ""}}));
    const common::Result<std::vector<CsvRecord>> read = parse_csv("a,b\r1,\"x\ry\"\r2,3");
    ASSERT_TRUE(read) << error_of(read);
    const std::vector<CsvRecord>& records = *read;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].line, 4);
    EXPECT_EQ(records[1].fields[1], "x\ry");
}

// Table names as spreadsheets' copies carry them.
TEST(NamesTable, AcceptsCopySuffixesAndExtensions) {
    const std::pair<const char*, bool> cases[] = {
        {"mt3-monsters.csv", true},        {"mt3-monsters (1).csv", true}, {"mt3-monsters-edited.csv", true},
        {"mt3-monsters_2.csv", true},      {"mt3-monsters.CSV", true},     {"mt3-monsters.txt", true},
        {"mt3-monsters.Tsv", true},        {"mt3-monsters.copy.csv", true}, {"mt3-monstersx.csv", false},
        {"mt3-monsters.json", false},      {"mt3-monster.csv", false},     {"mt2-monsters.csv", false},
        {"mt3-monsters", false},
    };
    for (const auto& [name, named] : cases) EXPECT_EQ(names_table(name, "mt3", "monsters"), named) << name;
}

// The header and the rows: columns in any case, empty header cells ignored,
// unknown, repeated and extra columns refused, the longest table name taken.
TEST(ReadCsvTable, MatchesHeadersAndRefusesWhatNoTableHas) {
    struct Case {
        const char* path;
        std::string text;
        const char* error;  // "" for a file read
    };
    const Case cases[] = {
        {"mt2-monster-actions (1).csv", " Tech ;MONSTER\n7;3\n", ""},
        {"mt2-monster-actions-edited.txt", "\ttech\tmonster\n0\t7\t3\t\t\n", ""},
        {"mt2-monsters.csv", "index,hpp\n", "the header names a column the table has not: \"hpp\" (did you mean \"hp\"?)"},
        {"mt2-monsters.csv", "index," + std::string(70, 'h') + "\n",
         "the header names a column the table has not: \"hhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhh...\""},
        {"mt2-monsters.csv", "index,hp,hp\n", "the header names the column \"hp\" twice: \"hp\" and \"hp\""},
        {"mt2-monsters.csv", "index,hp, HP\n", "the header names the column \"hp\" twice: \"hp\" and \" HP\""},
        {"mt2-monsters.csv", "index,hp\n1,2\n3,4,5\n", "row 3 has 3 fields, more than the 2 of the header"},
        {"mt2-monsters.csv", "index,hp\n1,2,,,\n", ""},
        {"mt2-monsters.csv", "monster,slot,tech\n1,2,3\n",
         "the header is that of mt2-monster-actions.csv, not of mt2-monsters.csv"},
        {"mt2-bosses.csv", "index\n", "no table of the export is called so; the tables' files are mt2-monsters.csv, "
                                      "mt2-monster-actions.csv"},
        {"mt2-monsters.csv", ",,\n\n", "no header line"},
    };
    for (const Case& c : cases) {
        const common::Result<EditedTable> read = read_csv_table(c.path, c.text, "mt2", tables());
        const std::string error = error_of(read);
        EXPECT_EQ(read.ok(), *c.error == 0) << c.path << ": " << error;
        EXPECT_EQ(error.substr(0, strlen(c.error)), c.error) << c.path;
        if (!read) continue;
        const EditedTable& t = *read;
        ASSERT_GE(t.row_count(), 1u);
        if (t.table == "monster-actions") {
            EXPECT_EQ(t.row(0).cells, (std::vector<std::string>{"3", "", "7"})) << c.path;
            EXPECT_EQ(t.spelled[2], t.row(0).where == "row 2" && c.text[0] == ' ' ? " Tech " : "tech");
        }
    }
}

}  // namespace
