#include "rows.h"

#include "fields.h"

void print_value_row(FILE* stream, int first, const int32_t* rest, int count) {
    put_str(stream, "  ");
    put_dec(stream, first, 5);
    for (int i = 0; i < count; ++i) {
        put_str(stream, ", ");
        put_dec(stream, rest[i], 3);
    }
    put_char(stream, '\n');
}

void print_tech_cells(FILE* stream, const int32_t* techs, int count, NameLookup tech_name) {
    for (int i = 0; i < count; ++i) {
        if (i) put_str(stream, ", ");
        put_left(stream, techs[i] == 255 ? "--------------------" : tech_name(techs[i]), 20);
    }
}
