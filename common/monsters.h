// Report pieces that the monster reports of both games share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

#include "common/labels.h"
#include "common/report.h"

namespace common {

constexpr int kMonsterCount = 320;
constexpr int kActionSlots = 8;

// Item cells: each "%-16s" with ", " between them; the value none prints
// sixteen hyphens, any other value its item name.
void print_item_cells(ReportText& stream, const int32_t* items, int count, int none, NameLookup item_name);

// "No.   行動" and the sixteen lines of the two action patterns; each slot names
// technique value + tech_base.
void print_action_lines(ReportText& stream, const int32_t* pattern1, const int32_t* pattern2, int tech_base,
                        NameLookup tech_name);

// The resistance report: header, then per monster the row prefix, the eight
// attribute cells, two blanks and the eight status cells. bits_of(n) gives
// the monster's (attribute bits, status bits).
struct ResistanceBits {
    int attributes;
    int statuses;
};
void write_resistance_report(ReportText& out, NameLookup monster_name, const LabelSet& labels,
                             const std::function<ResistanceBits(int)>& bits_of);

}  // namespace common
