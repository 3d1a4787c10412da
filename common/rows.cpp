#include "common/rows.h"

#include "common/fields.h"

namespace common {

void print_value_row(ReportText& stream, int first, const int32_t* rest, int count) {
    stream.str("  ").dec(first, 5);
    for (int i = 0; i < count; ++i) stream.str(", ").dec(rest[i], 3);
    stream.ch('\n');
}

void print_tech_cells(ReportText& stream, const int32_t* techs, int count, NameLookup tech_name) {
    for (int i = 0; i < count; ++i) {
        if (i) stream.str(", ");
        stream.left(techs[i] == 255 ? "--------------------" : tech_name(techs[i]), 20);
    }
}

}  // namespace common
