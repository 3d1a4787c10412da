// mt_report_pages: writes an analyzer's manual page from its configured text,
// filling in what the game's table of reports says: "@MT_REPORT_COUNT@" becomes
// the number of reports in words, and a line "@MT_REPORT_FILES@" becomes one
// tagged paragraph per report (its file name, then what it holds), in the
// order in which the analyzer writes them.
//
//   mt_report_pages mt2analyzer|mt3analyzer <configured page> <page>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "games/a/driver.h"
#include "games/b/driver.h"

namespace {

const char kCountMark[] = "@MT_REPORT_COUNT@";
const char kFilesMark[] = "@MT_REPORT_FILES@\n";

// Text as troff reads it: a backslash printed as one, and a control character
// at the start of a line made plain.
std::string troff_text(const char* text) {
    std::string out;
    if (text[0] == '.' || text[0] == '\'') out += "\\&";
    for (const char* c = text; *c != '\0'; ++c) out += *c == '\\' ? std::string("\\e") : std::string(1, *c);
    return out;
}

template <typename Run, size_t N>
std::string files_list(const common::ReportEntry<Run> (&reports)[N]) {
    std::string list;
    for (const common::ReportEntry<Run>& report : reports) {
        list += ".TP\n.B " + troff_text(report.file_name) + "\n" + troff_text(report.holds) + "\n";
    }
    return list;
}

void replace_all(std::string& text, const std::string& mark, const std::string& with) {
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + with.size())) {
        text.replace(at, mark.size(), with);
    }
}

template <typename Run, size_t N>
std::string filled_page(std::string page, const common::ReportEntry<Run> (&reports)[N]) {
    replace_all(page, kFilesMark, files_list(reports));
    replace_all(page, kCountMark, common::count_in_words(N));
    return page;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s mt2analyzer|mt3analyzer configured-page page\n", argv[0]);
        return 2;
    }
    // Binary both ways: the same bytes, LF line ends included, on every platform.
    std::ifstream in(argv[2], std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in || page.find(kFilesMark) == std::string::npos) {
        std::fprintf(stderr, "%s: %s: cannot be read or has no %s", argv[0], argv[2], kFilesMark);
        return 1;
    }
    std::string filled;
    if (std::strcmp(argv[1], "mt2analyzer") == 0) {
        filled = filled_page(page, mt2::kReports);
    } else if (std::strcmp(argv[1], "mt3analyzer") == 0) {
        filled = filled_page(page, mt3::kReports);
    } else {
        std::fprintf(stderr, "%s: no table of reports for %s\n", argv[0], argv[1]);
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out << filled;
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: %s: cannot be written\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
