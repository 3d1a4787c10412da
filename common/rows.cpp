#include "rows.h"

void print_value_row(FILE* stream, int first, const int32_t* rest, int count) {
    fprintf(stream, "  %5d", first);
    for (int i = 0; i < count; ++i) fprintf(stream, ", %3d", rest[i]);
    fputc('\n', stream);
}

void print_tech_cells(FILE* stream, const int32_t* techs, int count, NameLookup tech_name) {
    for (int i = 0; i < count; ++i) {
        if (i) fputs(", ", stream);
        fprintf(stream, "%-20s", techs[i] == 255 ? "--------------------" : tech_name(techs[i]));
    }
}
