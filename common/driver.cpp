#include "common/driver.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace common {

bool write_reports(const char* prefix, const ReportJob* jobs, int count) {
    bool written = true;
    for (int i = 0; i < count; ++i) {
        const std::string path = std::string(prefix) + jobs[i].file_name;
        bool ok = false;
        if (path.size() >= static_cast<size_t>(kPathSize)) {
            errno = ENAMETOOLONG;
        } else {
            ok = jobs[i].write(path.c_str());
        }
        if (!ok) {
            warn("Cannot create file - %s:", path.c_str());
            written = false;
        }
    }
    return written;
}

std::string count_in_words(size_t count) {
    static const char* const kOnes[] = {"zero",    "one",     "two",       "three",    "four",
                                        "five",    "six",     "seven",     "eight",    "nine",
                                        "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                        "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char* const kTens[] = {"twenty", "thirty"};
    if (count < 20) return kOnes[count];
    if (count >= 40) return std::to_string(count);
    std::string words = kTens[count / 10 - 2];
    if (count % 10 != 0) words += std::string("-") + kOnes[count % 10];
    return words;
}

int analyzer_main(int argc, char** argv, const AnalyzerInfo& info) {
    static const char* const kOptions[] = {"\t-h\tdisplay this help and exit\n"};
    const HelpText help{info.banner, info.usage, kOptions, 1};
    CommandLine line;
    scan_command_line(argc, argv, help, DestinationKind::Prefix, &line);
    if (line.src[0] == '\0') fatal("Too few arguments");
    RomImage image;
    const common::Status opened = image.open(line.src, info.title, info.table_span);
    if (!opened) return report_error(opened.error());
    return info.run(line.dst, image);
}

}  // namespace common
