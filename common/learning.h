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

namespace common {

constexpr int kLearningWindowSize = 1024;

// Walks the groups of a learning window as the game reads it: from offset 0,
// while a group's key and count bytes lie inside the window and its key is
// not 0xFF. Every reader of the lists (the loader, the importer's row
// finder and its read check) goes through it.
class LearningWalk {
public:
    explicit LearningWalk(const unsigned char* window) : window_(window) {}

    // True when the list has ended: an end key, or no room for another group.
    bool done() const { return at_ + 1 >= kLearningWindowSize || window_[at_] == 0xFF; }
    // The window offset of the group's key byte; its key, its count byte and
    // the entries that lie wholly inside the window.
    int at() const { return at_; }
    int key() const { return window_[at_]; }
    int count() const { return window_[at_ + 1]; }
    int kept() const {
        const int available = (kLearningWindowSize - (at_ + 2)) / 2;
        return count() < available ? count() : available;
    }
    // The window offset of entry e's technique byte (its difficulty follows).
    int entry(int e) const { return at_ + 2 + 2 * e; }
    void next() { at_ += 2 + 2 * count(); }

    // Once done: how many bytes from the window's start the game has read
    // (the end key included, where it lies inside the window).
    int read_bytes() const {
        if (at_ + 1 < kLearningWindowSize) return at_ + 1;
        return at_ < kLearningWindowSize ? at_ : kLearningWindowSize;
    }

private:
    const unsigned char* window_;
    int at_ = 0;
};

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
// The same report of a game's run (its learning lists and names), its
// techniques named by TechName: a writer of the game's table of reports.
template <typename Run, NameLookup::Function TechName>
void write_learning(ReportText& out, const Run& run) {
    write_learning_report(out, &run.learning, NameLookup(run.names, TechName));
}

// Decodes the groups of one 1024-byte window and appends them to groups
// (which may be null to count only); returns the number of groups.
int parse_learning_window(const unsigned char* window, std::vector<LearnGroup>* groups);

}  // namespace common
