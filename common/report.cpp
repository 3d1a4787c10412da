#include "common/report.h"

#include <cerrno>

bool refuses_image(const RomImage& image, const char* path) {
    if (!image.is_image(path)) return false;
    errno = EBUSY;
    return true;
}

int open_report(OutputFile& file, const char* path, const RomImage& image, OutputMode mode) {
    return refuses_image(image, path) ? 0 : file.open(path, mode);
}

int save_report(const char* path, const ReportText& text, const RomImage& image) {
    OutputFile file;
    if (!open_report(file, path, image)) return 0;
    if (text.size()) fwrite(text.data(), 1, text.size(), file.stream());
    return file.close();
}

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
