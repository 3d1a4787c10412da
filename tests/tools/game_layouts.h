// What the end-to-end tests of the two analyzers need to know about each game:
// its table regions, the built tool, its help text, a test image with values
// in every table family, and what each report of a run on it holds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tests/support/game_regions.h"
#include "tests/support/report_fixture.h"

struct ReportShape {
    const char* file;
    long lines;   // line count of the report from the run image
    bool varies;  // the count depends on the data (the learning lists)
    size_t line;  // a line that only this report has, from the run image
    const char* text;
};

struct GameLayout {
    const char* name;  // the tool's name, also its argv[0] in the tests
    const char* tool;  // path of the built analyzer
    const GameRegions& rom;
    RomBuilder (*run_image)();
    size_t cut_length;       // the run image cut one byte short inside its highest table
    size_t long_destination;  // a destination length at which the longer report paths pass 1023 characters
    const char* help;
    std::vector<ReportShape> reports;  // in the order the analyzer writes them
    std::vector<std::string> table;    // the file names of the game's table of reports, in its order
    const char* readme_phrase;         // how the README counts the reports, "%s" for the count in words
};

const GameLayout& game_a_layout();
const GameLayout& game_b_layout();

// The sorted report file names of a game's table of reports.
std::vector<std::string> sorted_reports(const GameLayout& game);
