// The analyzer driver shared by both games: command line, ROM image, the
// report loop with its path checks, and the exit status.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/cmdline.h"
#include "common/diag.h"
#include "common/error.h"
#include "common/formations.h"
#include "common/learning.h"
#include "common/names.h"
#include "common/records.h"
#include "common/report.h"
#include "common/techniques.h"

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

// The row of the learning-list report (write_learning), which says the same
// of every game, under the game's file name.
template <typename Run, NameLookup::Function TechName>
constexpr ReportEntry<Run> learning_report(const char* file_name) {
    return {file_name,
            "Learning lists: for each key technique the techniques that can be learned from it, with "
            "their difficulty.",
            write_learning<Run, TechName>};
}

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

// The tables that every game's run holds: the name tables, the monsters, the
// items, the techniques, the learning lists and the formations. A game's Run
// derives from it and adds its own tables, each with an empty initialiser.
template <typename Monster, typename Item>
struct RunTables {
    NameTables names;
    std::vector<Monster> monsters{};
    std::vector<Item> items{};
    std::vector<TechRecord> techs{};
    TechLearning learning{};
    std::vector<FormationEntry> formations{};
};

// How a game reads the tables of RunTables from an image: its loaders of the
// monsters, the items and the techniques, the rom offsets of its two learning
// lists and its formations.
template <typename Monster, typename Item>
struct RunLoaders {
    Result<std::vector<Monster>> (*monsters)(const RomImage& image);
    Result<std::vector<Item>> (*items)(const RomImage& image);
    Result<std::vector<TechRecord>> (*techs)(const RomImage& image);
    long learning_list1;
    long learning_list2;
    const FormationTable& formations;
};

// Loads a run's tables in their order: the monsters, the game's own tables
// (load_own(run, error), true when they loaded), the items, the techniques,
// the learning lists and the formations. Returns the run, or the error of the
// first table that lies beyond the end of the image. The names are read on
// their first lookup.
template <typename Run, typename Monster, typename Item, typename LoadOwn>
Result<Run> load_run(const RomImage& image, const RunLoaders<Monster, Item>& loaders, LoadOwn load_own) {
    Run run{{NameTables(image)}};
    Error error;
    if (take(loaders.monsters(image), run.monsters, error) && load_own(run, error) &&
        take(loaders.items(image), run.items, error) && take(loaders.techs(image), run.techs, error) &&
        take(load_learning_lists(image, loaders.learning_list1, loaders.learning_list2), run.learning, error) &&
        take(load_formations(image, loaders.formations), run.formations, error)) {
        return run;
    }
    return error;
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
