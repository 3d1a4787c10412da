#include "common/rows.h"

#include "common/fields.h"

void print_value_row(FILE* stream, int first, const int32_t* rest, int count) {
    FieldWriter w(stream);
    w.str("  ").dec(first, 5);
    for (int i = 0; i < count; ++i) w.str(", ").dec(rest[i], 3);
    w.ch('\n');
}

void print_tech_cells(FILE* stream, const int32_t* techs, int count, NameLookup tech_name) {
    FieldWriter w(stream);
    for (int i = 0; i < count; ++i) {
        if (i) w.str(", ");
        w.left(techs[i] == 255 ? "--------------------" : tech_name(techs[i]), 20);
    }
}
