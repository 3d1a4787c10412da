#include "export/exporter.h"

#include <string>

#include "common/diag.h"
#include "common/driver.h"
#include "common/files.h"
#include "common/rom.h"
#include "export/rom_table.h"
#include "export/sql.h"

const char* const kExporterOptions[5] = {
    "\t-j\twrite only the JSON document\n",
    ("\t-c\twrite only the CSV files, with the identification\n"
     "\t\t(file CRC32, MD5, SHA-1; ROM CRC32, MD5, SHA-1 of the ROM proper)\n"),
    "\t-s\twrite only the SQL file\n",
    "\t-w\twrite only the viewer page\n",
    "\t-h\tdisplay this help and exit\n",
};

namespace {

constexpr unsigned kJson = 1u << ('j' - 'a');
constexpr unsigned kCsv = 1u << ('c' - 'a');
constexpr unsigned kSql = 1u << ('s' - 'a');
constexpr unsigned kPage = 1u << ('w' - 'a');

// The open image's title search and identity; ends the run when the file
// cannot be read to its end.
RomFacts rom_facts(const RomImage& image, const char* path, const char* title) {
    const RomHeaderInfo header = image.header();
    RomFacts facts{title, header.title_found, header.hirom, image.image_base(), {}};
    FILE* file = open_file(path, "rb");
    const bool sized = file && seek_file(file, 0, SEEK_END) == 0;
    const long long size = sized ? tell_file(file) : -1;
    const long long header_pos =
        header.title_found ? facts.image_base + (header.hirom ? kHiRomHeaderOffset : kLoRomHeaderOffset) : -1;
    const bool read = size >= 0 && seek_file(file, 0, SEEK_SET) == 0 &&
                      identify_stream(file, size, header_pos, &facts.identity);
    if (file) fclose(file);
    if (!read) fatal("Fatal error in fread():");
    return facts;
}

// The CSV files of a table and of its child tables, in that order.
void add_csv_jobs(std::vector<ReportJob>& jobs, std::vector<std::string>& names, const std::string& prefix,
                  const RomImage& image, const Table& table, const Table* parent) {
    names.push_back(prefix + "-" + table.file + ".csv");
    jobs.push_back(
        {nullptr, [&image, &table, parent](const char* path) { return write_csv(path, image, table, parent); }});
    for (const Table& child : table.children) add_csv_jobs(jobs, names, prefix, image, child, &table);
}

}  // namespace

std::string trimmed_title(const ExporterInfo& info) {
    std::string title = info.title;
    title.erase(title.find_last_not_of(' ') + 1);
    return title;
}

int exporter_main(int argc, char** argv, const ExporterInfo& info) {
    CommandLine line;
    scan_command_line(argc, argv, info.help, DestinationKind::Prefix, &line, "jcsw");
    if (line.src[0] == '\0') fatal("Too few arguments");
    RomImage image;
    const common::Status opened = image.open(line.src, info.title, info.table_span);
    if (!opened) fatal(opened.error());
    // Unlike the analyzers, which read a file without the title from its
    // start, the exporters write data files only for the game's images: the
    // other game's image or any other file (or a title too near the start of
    // the file to be the cartridge header's) is refused before anything is
    // written, in the words of the comparison and the importer.
    if (!image.header().title_found || image.image_base() < 0) {
        fatal("%s is not an image of %s: its cartridge header is not found", line.src, trimmed_title(info).c_str());
    }
    // Without a choice, every format.
    constexpr unsigned kEvery = kJson | kCsv | kSql | kPage;
    const unsigned formats = (line.letters & kEvery) ? line.letters : kEvery;

    std::shared_ptr<const void> kept;  // the run's tables and names, released on return
    const std::vector<Table> tables = info.load(image, kept);
    const Table rom = rom_table(rom_facts(image, line.src, info.title));

    std::vector<ReportJob> jobs;
    std::vector<std::string> names;  // the file names, kept alive for the jobs
    if (formats & kJson) {
        names.push_back(std::string(info.prefix) + ".json");
        jobs.push_back({nullptr, [&](const char* path) { return write_json(path, image, info.game, rom, tables); }});
    }
    if (formats & kCsv) {
        // The rom block first: the importers tell by it which image the
        // table files come from.
        names.push_back(std::string(info.prefix) + "-rom.csv");
        jobs.push_back({nullptr, [&](const char* path) { return write_key_value_csv(path, image, rom); }});
        for (const Table& table : tables) add_csv_jobs(jobs, names, info.prefix, image, table, nullptr);
    }
    if (formats & kSql) {
        names.push_back(std::string(info.prefix) + ".sql");
        jobs.push_back({nullptr, [&](const char* path) { return write_sql(path, image, rom, tables); }});
    }
    if (formats & kPage) {
        names.push_back(std::string(info.prefix) + ".html");
        jobs.push_back({nullptr, [&](const char* path) { return write_page(path, image, info.game, rom, tables); }});
    }
    for (size_t i = 0; i < jobs.size(); ++i) jobs[i].file_name = names[i].c_str();
    return write_reports(line.dst, jobs.data(), static_cast<int>(jobs.size())) ? 0 : 1;
}
