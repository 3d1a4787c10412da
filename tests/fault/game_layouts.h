// Where each game keeps its tables, and what each report of a full run holds:
// the facts the hostile-input tests need to build images and check reports.
#pragma once

#include <string>
#include <vector>

struct TableRegion {
    const char* name;
    long offset;  // rom offset
    long size;    // bytes
};

struct ReportShape {
    const char* file;
    long lines;  // line count of the report, or -1 when it depends on the data
};

struct GameLayout {
    const char* tool;   // path of the analyzer
    const char* title;  // cartridge header title
    unsigned char map_mode;
    long rom_size;
    std::vector<TableRegion> tables;
    std::vector<ReportShape> reports;
};

const GameLayout& game_a_layout();
const GameLayout& game_b_layout();
