// The analyzer driver shared by both games: command line, ROM image, the
// report loop with its path checks, and the exit status.
#pragma once

#include <cstddef>
#include <functional>

#include "common/cmdline.h"
#include "common/rom.h"
#include "common/run_blocks.h"

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
template <size_t N>
int write_reports(const char* prefix, const ReportJob (&jobs)[N]) {
    return write_reports(prefix, jobs, static_cast<int>(N));
}

// An analyzer's run with the image open: load_all loads the tables into
// blocks that the run owns, write_all writes the reports from them (through
// write_reports); the image is closed before the blocks are released. Returns
// 1 when any report failed, else 0.
template <typename Blocks>
int run_analyzer(const char* prefix, Blocks (*load_all)(RunBlocks&), int (*write_all)(const char*, const Blocks&)) {
    RunBlocks owner;
    const Blocks blocks = load_all(owner);
    const int failed = write_all(prefix, blocks);
    rom_close();
    return failed;
}

// What an analyzer's main needs: its help texts (the one option is -h), the
// cartridge header title to search for, and its run.
struct AnalyzerInfo {
    const char* banner;
    const char* usage;  // contains one "%s" for the program name
    const char* title;
    int (*run)(const char* prefix);
};

// The analyzer's main: scan, "Too few arguments", "Invalid ROM-Image file - %s",
// then info.run. Returns the exit status.
int analyzer_main(int argc, char** argv, const AnalyzerInfo& info);
