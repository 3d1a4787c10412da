// Row reports: a header line (one per section in sectioned reports) and one
// row per record, each row beginning with the record's index and name. Every
// report of that shape is written through write_row_report or
// write_section_report.
#pragma once

#include <cstdint>

#include "common/report.h"

namespace common {

// How the rows of a report begin: "%03d(%0<hex_digits>X): %-<name_width>s :".
struct RowPrefix {
    int hex_digits;  // 2 or 3
    int name_width;  // 16 or 20
    NameLookup name;
};

// A section of a report: its header line and the range of indices it lists.
struct Section {
    int first;
    int last;  // inclusive
    const char* header;
};

// The writer of a sectioned report: each section's header line, then for each
// index of its range, in ascending order, the row prefix and
// row(stream, index, section number), which writes the rest of the row.
template <typename Row>
void write_section_report(ReportText& out, const Section* sections, int count, const RowPrefix& prefix, Row&& row) {
    for (int s = 0; s < count; ++s) {
        out.str(sections[s].header);
        for (int i = sections[s].first; i <= sections[s].last; ++i) {
            print_row_prefix(out, i, prefix.hex_digits, prefix.name(i), prefix.name_width);
            row(out, i, s);
        }
    }
}

// The same for a report of one header line and the rows 0..count-1;
// row(stream, index) writes the rest of a row.
template <typename Row>
void write_row_report(ReportText& out, const char* header, int count, const RowPrefix& prefix, Row&& row) {
    const Section all{0, count - 1, header};
    write_section_report(out, &all, 1, prefix, [&](ReportText& stream, int index, int) { row(stream, index); });
}

// "  %5d" of the first value, ", %3d" of each further one, then a line feed:
// the value columns of the parameter rows.
void print_value_row(ReportText& stream, int first, const int32_t* rest, int count);

// Technique cells: each "%-20s" with ", " between them; the value 255 prints
// twenty hyphens, any other value its technique name.
void print_tech_cells(ReportText& stream, const int32_t* techs, int count, NameLookup tech_name);

}  // namespace common
