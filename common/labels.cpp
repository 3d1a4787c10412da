#include "common/labels.h"

#include "common/fields.h"

namespace common {

namespace {

const char kFiller[] = "・";

void print_labels(ReportText& stream, int bits, int mask, const char* const labels[8]) {
    for (int bit = 7; bit >= 0; --bit) {
        const int m = 1 << bit;
        if (mask & m) stream.left((bits & m) ? labels[7 - bit] : kFiller, 2);
    }
}

}  // namespace

const char* mark_of(int flag) { return flag ? "○" : "×"; }

void print_mark_cells(ReportText& stream, const int32_t* flags, int count) {
    for (int i = 0; i < count; ++i) stream.str(i ? "   " : "  ").str(mark_of(flags[i]));  // "%2s": marks are two bytes
}

void print_bit_labels(ReportText& stream, int bits, int mask, const LabelSet& labels) {
    print_labels(stream, bits, mask, labels.attributes);
}

void print_bit_labels2(ReportText& stream, int bits, int mask, const LabelSet& labels) {
    print_labels(stream, bits, mask, labels.statuses);
}

const char* race_name(int index, const LabelSet& labels) {
    return (index >= 0 && index < 16) ? labels.races[index] : "";
}

}  // namespace common
