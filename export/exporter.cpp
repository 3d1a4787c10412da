#include "export/exporter.h"

#include <string>

#include "common/driver.h"
#include "common/rom.h"

const char* const kExporterOptions[3] = {
    "\t-j\twrite only the JSON document\n",
    "\t-c\twrite only the CSV files\n",
    "\t-h\tdisplay this help and exit\n",
};

namespace {

constexpr unsigned kJsonOnly = 1u << ('j' - 'a');
constexpr unsigned kCsvOnly = 1u << ('c' - 'a');

// The CSV files of a table and of its child tables, in that order.
void add_csv_jobs(std::vector<ReportJob>& jobs, std::vector<std::string>& names, const std::string& prefix,
                  const Table& table, const Table* parent) {
    names.push_back(prefix + "-" + table.file + ".csv");
    jobs.push_back({nullptr, [&table, parent](const char* path) { return write_csv(path, table, parent); }});
    for (const Table& child : table.children) add_csv_jobs(jobs, names, prefix, child, &table);
}

}  // namespace

int exporter_main(int argc, char** argv, const ExporterInfo& info) {
    CommandLine line;
    scan_command_line(argc, argv, info.help, DestinationKind::Prefix, &line, "jc");
    if (line.src[0] == '\0') fatal("Too few arguments");
    if (!rom_open(line.src, info.title)) fatal("Invalid ROM-Image file - %s", line.src);
    const bool json = !(line.letters & kCsvOnly) || (line.letters & kJsonOnly);
    const bool csv = !(line.letters & kJsonOnly) || (line.letters & kCsvOnly);

    RunBlocks kept;  // released on return, after the image is closed
    const std::vector<Table> tables = info.load(kept);
    const RomHeaderInfo header = rom_header_info();
    const Envelope envelope{info.game, info.title, header.title_found, header.hirom, rom_image_base()};

    std::vector<ReportJob> jobs;
    std::vector<std::string> names;  // the file names, kept alive for the jobs
    if (json) {
        names.push_back(std::string(info.prefix) + ".json");
        jobs.push_back({nullptr, [&](const char* path) { return write_json(path, envelope, tables); }});
    }
    for (const Table& table : tables) {
        if (csv) add_csv_jobs(jobs, names, info.prefix, table, nullptr);
    }
    for (size_t i = 0; i < jobs.size(); ++i) jobs[i].file_name = names[i].c_str();
    const int failed = write_reports(line.dst, jobs.data(), static_cast<int>(jobs.size()));
    rom_close();
    return failed;
}
