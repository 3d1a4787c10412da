// Technique learning lists: for a key technique, the techniques that can be
// learnt from it, each with its difficulty.
//
// In the ROM a list is a sequence of groups (key byte, count byte n, then n
// pairs of technique and difficulty) ended by a key of 0xFF, read through a
// window of 1024 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "common/report.h"
#include "common/rom.h"

constexpr int kLearningWindowSize = 1024;

struct LearnEntry {
    int32_t tech;
    int32_t difficulty;
};

struct LearnGroup {
    int32_t key;
    int32_t count;
    std::vector<LearnEntry> entries;  // count entries
};

struct TechLearning {
    int32_t group_count = 0;
    std::vector<LearnGroup> groups;
};

// Reads the two learning lists whose windows start at the given rom offsets;
// groups of list 1 first. A group is taken only while its key and count bytes
// lie inside the window and the key is not 0xFF; only the pairs that lie wholly
// inside the window are kept, and such a cut group ends its list.
common::Result<TechLearning> load_learning_lists(const RomImage& image, long list1_offset, long list2_offset);

// Writes the learning report: per group a bracketed title, a header line and
// one row per entry, groups separated by one empty line.
void write_learning_report(ReportText& out, const TechLearning* learning, NameLookup tech_name);

// Decodes the groups of one 1024-byte window and appends them to groups
// (which may be null to count only); returns the number of groups.
int parse_learning_window(const unsigned char* window, std::vector<LearnGroup>* groups);
