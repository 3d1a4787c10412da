// The analyzer driver shared by both games: command line, ROM image, the
// report loop with its path checks, and the exit status.
#pragma once

#include <functional>

#include "common/cmdline.h"

// One report: its file name and the writer that fills it (returns 1 on
// success, 0 when the file could not be created or completely written).
struct ReportJob {
    const char* file_name;
    std::function<int(const char* path)> write;
};

// Writes every report under the destination prefix in order. A report whose
// path would not fit the 1023-character path buffer is not written
// (ENAMETOOLONG). Each failure is reported as "Cannot create file - %s:".
// Returns 1 when any report failed, else 0.
int write_reports(const char* prefix, const ReportJob* jobs, int count);

struct AnalyzerInfo {
    HelpText help;
    const char* title;  // the cartridge header title to search for
    // Loads the tables, writes the reports (through write_reports), closes the
    // image with rom_close and releases the blocks; returns the failure flag.
    int (*run)(const char* prefix);
};

// The analyzer's main: scan, "Too few arguments", "Invalid ROM-Image file - %s",
// then info.run. Returns the exit status.
int analyzer_main(int argc, char** argv, const AnalyzerInfo& info);
