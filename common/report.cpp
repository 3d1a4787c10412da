#include "report.h"

#include <cerrno>

#include "outfile.h"
#include "rom.h"

FILE* open_report(const char* path) {
    if (rom_is_image(path)) {
        errno = EBUSY;
        return nullptr;
    }
    return open_output(path);
}

int close_report(FILE* stream) { return close_output(stream); }

void print_row_prefix(FILE* stream, int index, int hex_digits, const char* name, int name_width) {
    fprintf(stream, "%03d(%0*X): %-*s :", index, hex_digits, index, name_width, name);
}

void print_int_list(FILE* stream, const char* format, const int* values, int n) {
    for (int i = 0; i < n; ++i) {
        if (i) fputs(", ", stream);
        fprintf(stream, format, values[i]);
    }
}

void print_block_title(FILE* stream, int index, const char* name) {
    fprintf(stream, "[No.%03d(%02X): %s]\n", index, index, name);
}
