// CSV fields, bit labels and the viewer page of the exporters' table writer,
// and the export files that the core makes of an image in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>

#include "common/image_id.h"
#include "common/rom.h"
#include "export/exporter.h"
#include "export/rom_table.h"
#include "export/table.h"
#include "games/a/game.h"
#include "games/b/game.h"

using namespace exporter;

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

namespace {

// An image of the game held in memory: a copier header, then size bytes of
// ROM, all zero but the cartridge header's title and map-mode byte (LoROM
// for game A, HiROM for game B).
std::vector<unsigned char> zero_image(const ExporterInfo& game, size_t size) {
    const bool hirom = std::string(game.game) == "B";
    std::vector<unsigned char> image(common::kCopierHeaderSize + size);
    const size_t at = common::kCopierHeaderSize + (hirom ? common::kHiRomHeaderOffset : common::kLoRomHeaderOffset);
    const std::string title = game.title;
    if (at + common::kCartridgeHeaderSize > image.size()) return image;
    std::copy(title.begin(), title.end(), image.begin() + static_cast<long>(at));
    image[at + title.size()] = hirom ? 0x21 : 0x20;
    return image;
}

std::vector<std::string> names_of(const std::vector<exporter::File>& files) {
    std::vector<std::string> names;
    for (const exporter::File& f : files) names.push_back(f.name);
    return names;
}

}  // namespace

// The core's refusals carry the tool's words, the name the image was given
// by included, and make no file.
TEST(ExportCore, RefusalsAreTheToolsLines) {
    for (const ExporterInfo* game : {&mt2::kExporter, &mt3::kExporter}) {
        const std::string title = trimmed_title(*game);
        std::vector<unsigned char> other(64 * 1024, 0x5A);
        std::vector<unsigned char> cut = zero_image(*game, 0x10000);  // the header, none of the tables
        std::vector<unsigned char> late(game->title, game->title + strlen(game->title));  // no room for a header
        const struct {
            std::vector<unsigned char>* image;
            std::string line;  // the whole line, or its start before the system's message
            bool whole;
        } cases[] = {
            {&other, "other.bin is not an image of " + title + ": its cartridge header is not found", true},
            {&cut, "other.bin: the image ends before its tables: it has 66048 bytes, its tables end at byte ", false},
            {&late, "Fatal error in fread(): ", false},
        };
        for (const auto& c : cases) {
            const auto files = exporter::export_files(*c.image, "other.bin", *game, exporter::kEvery);
            ASSERT_FALSE(files.ok()) << c.line;
            ASSERT_EQ(files.error().lines.size(), 1u);
            EXPECT_EQ(files.error().status, 1);
            const std::string& line = files.error().lines[0];
            EXPECT_EQ(c.whole ? line : line.substr(0, c.line.size()), c.line);
        }
    }
}

// The files of each format in the tool's order, the rom block of rom_json
// the one the JSON document holds, and the identity that of the bytes given.
TEST(ExportCore, FilesInTheToolsOrderAndTheRomBlock) {
    for (const ExporterInfo* game : {&mt2::kExporter, &mt3::kExporter}) {
        // Whole 64 KiB banks past the tables: the copier header is told by the size.
        const size_t banks = static_cast<size_t>(game->table_span) / 0x10000 + 1;
        const std::vector<unsigned char> image = zero_image(*game, banks * 0x10000);
        const std::string prefix = game->prefix;
        const auto every = exporter::export_files(image, "image.smc", *game, exporter::kEvery);
        ASSERT_TRUE(every.ok()) << every.error().lines[0];
        const std::vector<std::string> names = names_of(*every);
        ASSERT_GT(names.size(), 4u);
        EXPECT_EQ(names[0], prefix + ".json");
        EXPECT_EQ(names[1], prefix + "-rom.csv");
        EXPECT_EQ(names[2], prefix + "-monsters.csv");
        EXPECT_EQ(names[names.size() - 2], prefix + ".sql");
        EXPECT_EQ(names.back(), prefix + ".html");
        for (size_t i = 2; i + 2 < names.size(); ++i) EXPECT_TRUE(names[i].ends_with(".csv")) << names[i];
        const struct {
            unsigned formats;
            std::vector<std::string> names;
        } alone[] = {
            {exporter::kJson, {names[0]}},
            {exporter::kSql, {names[names.size() - 2]}},
            {exporter::kPage | exporter::kJson, {names[0], names.back()}},
            {exporter::kCsv, std::vector<std::string>(names.begin() + 1, names.end() - 2)},
        };
        for (const auto& a : alone) {
            const auto files = exporter::export_files(image, "image.smc", *game, a.formats);
            ASSERT_TRUE(files.ok());
            EXPECT_EQ(names_of(*files), a.names) << a.formats;
            for (const exporter::File& f : *files) {
                const size_t at = static_cast<size_t>(
                    std::find(names.begin(), names.end(), f.name) - names.begin());
                ASSERT_LT(at, every->size());
                EXPECT_EQ(f.bytes, (*every)[at].bytes) << f.name;
            }
        }
        const auto rom = exporter::rom_json(image, *game);
        ASSERT_TRUE(rom.ok());
        EXPECT_EQ(rom->find('\n'), std::string::npos);
        const std::string& document = (*every)[0].bytes;
        EXPECT_NE(document.find("\n  \"rom\": " + *rom + ",\n"), std::string::npos);
        const nlohmann::json block = nlohmann::json::parse(*rom);
        EXPECT_EQ(block["crc32"], common::crc32_hex(common::crc32_of(image.data(), image.size())));
        EXPECT_EQ(block["rom_crc32"],
                  common::crc32_hex(common::crc32_of(image.data() + common::kCopierHeaderSize, image.size() - common::kCopierHeaderSize)));
        EXPECT_EQ(block["copier_header"], common::kCopierHeaderSize);
        EXPECT_EQ(block["title_found"], true);
        // Any bytes have a rom block: the title not found, no mapping.
        const std::vector<unsigned char> other(4096, 0x11);
        const auto untitled = exporter::rom_json(other, *game);
        ASSERT_TRUE(untitled.ok());
        EXPECT_EQ(nlohmann::json::parse(*untitled)["title_found"], false);
        EXPECT_TRUE(nlohmann::json::parse(*untitled)["mapping"].is_null());
    }
}
