#include "common/report.h"

namespace common {

void print_row_prefix(ReportText& stream, int index, int hex_digits, const char* name, int name_width) {
    stream.dec0(index, 3)
        .ch('(')
        .hex0(static_cast<unsigned>(index), hex_digits)
        .str("): ")
        .left(name, name_width)
        .str(" :");
}

void print_int_list(ReportText& stream, const int* values, int n, int width, bool plus) {
    for (int i = 0; i < n; ++i) {
        if (i) stream.str(", ");
        stream.dec(values[i], width, plus);
    }
}

void print_block_title(ReportText& stream, int index, const char* name) {
    stream.str("[No.").dec0(index, 3).ch('(').hex0(static_cast<unsigned>(index), 2).str("): ").str(name).str("]\n");
}

}  // namespace common
