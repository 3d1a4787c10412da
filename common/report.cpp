#include "report.h"

#include <cerrno>

#include "fields.h"
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
    put_dec0(stream, index, 3);
    put_char(stream, '(');
    put_hex0(stream, static_cast<unsigned>(index), hex_digits);
    put_str(stream, "): ");
    put_left(stream, name, name_width);
    put_str(stream, " :");
}

void print_int_list(FILE* stream, const int* values, int n, int width, bool plus) {
    for (int i = 0; i < n; ++i) {
        if (i) put_str(stream, ", ");
        put_dec(stream, values[i], width, plus);
    }
}

void print_block_title(FILE* stream, int index, const char* name) {
    put_str(stream, "[No.");
    put_dec0(stream, index, 3);
    put_char(stream, '(');
    put_hex0(stream, static_cast<unsigned>(index), 2);
    put_str(stream, "): ");
    put_str(stream, name);
    put_str(stream, "]\n");
}
