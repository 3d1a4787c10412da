// The reports' label sets and their helpers: marks, bit labels, race names
// (each game holds its own label set).
#pragma once

#include <cstdint>

#include "common/fields.h"

namespace common {

struct LabelSet {
    const char* attributes[8];  // attack kinds, bit 7 first
    const char* statuses[8];    // status changes, bit 7 first
    const char* races[16];
};

// "○" for a non-zero flag, "×" for zero.
const char* mark_of(int flag);

// Prints the marks of count flags, as the flag reports print them: "  %2s"
// for the first and "   %2s" for every further one, so that each mark stands
// under its five-byte column heading.
void print_mark_cells(ReportText& stream, const int32_t* flags, int count);

// For each bit from 7 down to 0 that is set in mask: "%-2s" of the bit's label
// when it is set in bits, else the filler "・".
void print_bit_labels(ReportText& stream, int bits, int mask, const LabelSet& labels);   // attributes
void print_bit_labels2(ReportText& stream, int bits, int mask, const LabelSet& labels);  // statuses

// Race name for 0..15, "" otherwise.
const char* race_name(int index, const LabelSet& labels);

}  // namespace common
