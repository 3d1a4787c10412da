#include "marks.h"

#include "labels.h"

void print_mark_cells(FILE* stream, const int32_t* flags, int count) {
    for (int i = 0; i < count; ++i) fprintf(stream, i ? "   %2s" : "  %2s", mark_of(flags[i]));
}
