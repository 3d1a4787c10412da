#include "marks.h"

#include "fields.h"
#include "labels.h"

void print_mark_cells(FILE* stream, const int32_t* flags, int count) {
    FieldWriter w(stream);
    for (int i = 0; i < count; ++i) w.str(i ? "   " : "  ").str(mark_of(flags[i]));  // "%2s": marks are two bytes
}
