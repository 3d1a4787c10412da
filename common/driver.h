// The analyzer driver shared by both games: command line, ROM image, the
// report loop with its path checks, and the exit status.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "common/cmdline.h"
#include "common/diag.h"
#include "common/error.h"
#include "common/report.h"

namespace common {

// An output file under the destination prefix: its file name and the writer
// that creates it (returns true on success, false when the file could not be
// created or completely written).
struct ReportJob {
    const char* file_name;
    std::function<bool(const char* path)> write;
};

// Writes every job's file under the destination prefix in order. A file whose
// path would not fit the 1023-character path buffer is not written
// (ENAMETOOLONG). Each failure is reported as "Cannot create file - %s:".
// Returns true when every file was written, false when any failed.
bool write_reports(const char* prefix, const ReportJob* jobs, int count);

// One report of an analyzer, a row of the game's table of reports: its file
// name, what it holds (one or more English sentences, the report's entry in
// the manual page) and the writer that formats it from the run's tables.
template <typename Run>
struct ReportEntry {
    const char* file_name;
    const char* holds;
    void (*write)(ReportText& out, const Run& run);
};

// Formats and saves each report of the table in order (each in its own
// buffer, saved in one write), with the checks and diagnostics of
// write_reports. Returns true when every report was written, else false.
template <typename Run, size_t N>
bool write_reports(const char* prefix, const ReportEntry<Run> (&reports)[N], const Run& run, const RomImage& image) {
    ReportJob jobs[N];
    for (size_t i = 0; i < N; ++i) {
        const ReportEntry<Run>& report = reports[i];
        jobs[i] = {report.file_name, [&report, &run, &image](const char* path) {
                       ReportText text;
                       report.write(text, run);
                       return save_report(path, text, image);
                   }};
    }
    return write_reports(prefix, jobs, static_cast<int>(N));
}

// An analyzer's run over an image: the game's tables loaded (Run::load),
// then every report of its table written; nothing is written when a table
// cannot be loaded. Returns the exit status.
template <typename Run, const auto& Reports>
int run_reports(const char* prefix, const RomImage& image) {
    const Result<Run> tables = Run::load(image);
    if (!tables) return report_error(tables.error());  // nothing written
    return write_reports(prefix, Reports, *tables, image) ? 0 : 1;
}

// A count of reports in English words, as prose names it ("eighteen"), for
// 0 to 39; larger counts as digits.
std::string count_in_words(size_t count);

// What an analyzer's main needs: its help texts (the one option is -h), the
// cartridge header title to search for, the end of its highest table (the
// part of the image read into memory) and its run over the open image.
struct AnalyzerInfo {
    const char* banner;
    const char* usage;  // contains one "%s" for the program name
    const char* title;
    long table_span;
    int (*run)(const char* prefix, const RomImage& image);
};

// The analyzer's main: scan, "Too few arguments", "Invalid ROM-Image file - %s",
// then info.run. Returns the exit status.
int analyzer_main(int argc, char** argv, const AnalyzerInfo& info);

}  // namespace common
