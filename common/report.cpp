#include "common/report.h"

#include <cerrno>

#include "common/fields.h"
#include "common/outfile.h"
#include "common/rom.h"

bool refuses_image(const char* path) {
    if (!rom_is_image(path)) return false;
    errno = EBUSY;
    return true;
}

int open_report(OutputFile& file, const char* path, OutputMode mode) {
    return refuses_image(path) ? 0 : file.open(path, mode);
}

void print_row_prefix(FILE* stream, int index, int hex_digits, const char* name, int name_width) {
    FieldWriter(stream).dec0(index, 3).ch('(').hex0(static_cast<unsigned>(index), hex_digits).str("): ")
        .left(name, name_width).str(" :");
}

void print_int_list(FILE* stream, const int* values, int n, int width, bool plus) {
    FieldWriter w(stream);
    for (int i = 0; i < n; ++i) {
        if (i) w.str(", ");
        w.dec(values[i], width, plus);
    }
}

void print_block_title(FILE* stream, int index, const char* name) {
    FieldWriter(stream).str("[No.").dec0(index, 3).ch('(').hex0(static_cast<unsigned>(index), 2).str("): ")
        .str(name).str("]\n");
}
