#include "export/exporter.h"

#include <iterator>

#include <string>

#include "common/image_id.h"
#include "common/rom.h"
#include "export/rom_table.h"
#include "export/sql.h"

namespace exporter {

const char* const kExporterOptions[5] = {
    "\t-j\twrite only the JSON document\n",
    ("\t-c\twrite only the CSV files, with the identification\n"
     "\t\t(file CRC32, MD5, SHA-1; ROM CRC32, MD5, SHA-1 of the ROM proper)\n"),
    "\t-s\twrite only the SQL file\n",
    "\t-w\twrite only the viewer page\n",
    "\t-h\tdisplay this help and exit\n",
};

std::string trimmed_title(const ExporterInfo& info) {
    std::string title = info.title;
    title.erase(title.find_last_not_of(' ') + 1);
    return title;
}

namespace {

// The title search of the open image and the identity of its bytes.
RomFacts rom_facts(const common::RomImage& image, std::span<const unsigned char> bytes, const char* title) {
    const common::RomHeaderInfo header = image.header();
    RomFacts facts{title, header.title_found, header.hirom, image.image_base(), {}};
    const long long header_pos =
        header.title_found ? facts.image_base + (header.hirom ? common::kHiRomHeaderOffset : common::kLoRomHeaderOffset) : -1;
    facts.identity = common::identify_image(bytes.data(), bytes.size(), header_pos);
    return facts;
}

// The CSV files of a table and of its child tables, in that order.
void add_csv_files(std::vector<File>& files, const std::string& prefix, const Table& table, const Table* parent) {
    files.push_back({prefix + "-" + table.file + ".csv", csv_document(table, parent)});
    for (const Table& child : table.children) add_csv_files(files, prefix, child, &table);
}

std::vector<File> files_of(const ExporterInfo& game, unsigned formats, const Table& rom,
                           const std::vector<Table>& tables) {
    const std::string prefix = game.prefix;
    std::vector<File> files;
    if (formats & kJson) files.push_back({prefix + ".json", json_document(game.game, rom, tables)});
    if (formats & kCsv) {
        // The rom block first: the importers tell by it which image the
        // table files come from.
        files.push_back({prefix + "-rom.csv", key_value_csv_document(rom)});
        for (const Table& table : tables) add_csv_files(files, prefix, table, nullptr);
    }
    if (formats & kSql) files.push_back({prefix + ".sql", sql_document(rom, tables)});
    if (formats & kPage) files.push_back({prefix + ".html", page_document(game.game, rom, tables)});
    return files;
}

}  // namespace

common::Error not_an_image(const std::string& name, const ExporterInfo& game) {
    return common::Error(name + " is not an image of " + trimmed_title(game) + ": its cartridge header is not found");
}

std::optional<common::Error> without_tables(const std::string& name, const common::RomImage& rom, size_t size,
                                            const ExporterInfo& game) {
    if (!rom.header().title_found || rom.image_base() < 0) return not_an_image(name, game);
    const long long tables_end = rom.image_base() + game.table_span;
    if (static_cast<long long>(size) >= tables_end) return std::nullopt;
    return common::Error(name + ": the image ends before its tables: it has " + std::to_string(size) +
                         " bytes, its tables end at byte " + std::to_string(tables_end));
}

common::Result<std::vector<File>> export_files(std::span<const unsigned char> image, const std::string& name,
                                               const ExporterInfo& game, unsigned formats) {
    common::RomImage rom;
    const common::Status opened = rom.open_memory(image.data(), image.size(), game.title, game.table_span);
    if (!opened) return opened.error();
    // Unlike the analyzers, which read a file without the title from its
    // start, the exporters make data files only of the game's images: the
    // other game's image or any other file (or a title too near the start of
    // the file to be the cartridge header's) is refused, in the words of the
    // comparison and the importer.
    if (std::optional<common::Error> refused = without_tables(name, rom, image.size(), game)) return *refused;
    std::shared_ptr<const void> kept;  // the tables' run and names, released on return
    const common::Result<std::vector<Table>> tables = game.tables(rom, kept);
    if (!tables) return tables.error();
    return files_of(game, formats, rom_table(rom_facts(rom, image, game.title)), *tables);
}

common::Result<std::string> rom_json(std::span<const unsigned char> image, const ExporterInfo& game) {
    common::RomImage rom;
    const common::Status opened = rom.open_memory(image.data(), image.size(), game.title, game.table_span);
    if (!opened) return opened.error();
    return rom_object(rom_table(rom_facts(rom, image, game.title)));
}

}  // namespace exporter
