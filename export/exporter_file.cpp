// The exporters' shell: the command line, the image file read whole, the
// export files written under the destination prefix, and the exit status.
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/diag.h"
#include "common/driver.h"
#include "common/report.h"
#include "common/rom.h"
#include "common/wholefile.h"
#include "export/exporter.h"

namespace exporter {

namespace {

// The option letter of each format.
struct FormatLetter {
    char letter;
    unsigned format;
};
constexpr FormatLetter kFormatLetters[] = {
    {'j', exporter::kJson}, {'c', exporter::kCsv}, {'s', exporter::kSql}, {'w', exporter::kPage}};

// The formats the options chose; without a choice, every format.
unsigned chosen_formats(unsigned letters) {
    unsigned formats = 0;
    for (const FormatLetter& f : kFormatLetters) {
        if (letters & (1u << (f.letter - 'a'))) formats |= f.format;
    }
    return formats ? formats : exporter::kEvery;
}

}  // namespace

int exporter_main(int argc, char** argv, const ExporterInfo& info) {
    common::CommandLine line;
    common::scan_command_line(argc, argv, info.help, common::DestinationKind::Prefix, &line, "jcsw");
    if (line.src[0] == '\0') common::fatal("Too few arguments");
    // The title search first, on the file itself (kept open so that no
    // output is written over it): a file of another game or none is refused
    // before it is read whole.
    common::RomImage image;
    const common::Status opened = image.open(line.src, info.title, info.table_span);
    if (!opened) common::fatal(opened.error());
    if (!image.header().title_found || image.image_base() < 0) common::fatal(exporter::not_an_image(line.src, info));
    std::vector<unsigned char> bytes;
    if (!common::read_whole_file(line.src, SIZE_MAX, &bytes)) common::fatal("Fatal error in fread():");

    const common::Result<std::vector<exporter::File>> files =
        exporter::export_files(bytes, line.src, info, chosen_formats(line.letters));
    if (!files) common::fatal(files.error());
    // A destination folder that is not there is made, with the folders above
    // it, as git clone and unzip make theirs; one that cannot be made leaves
    // each file to say why it cannot be written.
    if (line.dst[0] != '\0') {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(reinterpret_cast<const char8_t*>(line.dst)), ignored);
    }
    std::vector<common::ReportJob> jobs;
    for (const exporter::File& file : *files) {
        jobs.push_back({file.name.c_str(), [&image, &file](const char* path) {
                            if (!path || !*path || common::refuses_image(image, path)) return false;
                            return common::write_whole_file(path, file.bytes.data(), file.bytes.size());
                        }});
    }
    return common::write_reports(line.dst, jobs.data(), static_cast<int>(jobs.size())) ? 0 : 1;
}

}  // namespace exporter
