#include "marks.h"

#include "fields.h"
#include "labels.h"

void print_mark_cells(FILE* stream, const int32_t* flags, int count) {
    for (int i = 0; i < count; ++i) {
        put_str(stream, i ? "   " : "  ");
        put_str(stream, mark_of(flags[i]));  // "%2s": every mark is two bytes wide
    }
}
