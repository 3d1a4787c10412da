// mt_table_files: writes the character tables of both games as table files,
// the "HEX=text" format that hex editors and script dumpers load.
//
// One line per code: two hex digits for a single-byte code, four for a
// two-byte code with its lead byte (2000-23FF), "*00" for the line-end code.
// Codes the games do not use (they decode to "〓") are left out, and so are
// the single bytes 0x20-0x23, which always act as lead bytes. This program is
// built from the same table sources as the tools, without -fexec-charset, so
// every entry is UTF-8 here and the files are UTF-8.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/chartables.h"
#include "games/a/chartables.h"
#include "games/b/chartables.h"

namespace {

constexpr const char* kUnusedCode = "〓";
constexpr unsigned kLineEndCode = 0x00;

bool assigned(const char* text) { return std::strcmp(text, kUnusedCode) != 0; }

void write_single_byte_codes(FILE* out, const common::CharTables& tables) {
    std::fprintf(out, "*%02X\n", kLineEndCode);
    for (unsigned code = kLineEndCode + 1; code < 256; ++code) {
        if (common::is_lead_byte(static_cast<unsigned char>(code)) || !assigned(tables.single[code])) continue;
        std::fprintf(out, "%02X=%s\n", code, tables.single[code]);
    }
}

void write_two_byte_codes(FILE* out, const common::CharTables& tables) {
    for (unsigned code = 0; code < 1024; ++code) {
        if (!assigned(tables.dbl[code])) continue;
        std::fprintf(out, "%04X=%s\n", (common::kFirstLeadByte << 8) + code, tables.dbl[code]);
    }
}

bool write_table_file(const std::string& path, const common::CharTables& tables) {
    // Binary: the same bytes, LF line ends included, on every platform.
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "mt_table_files: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    write_single_byte_codes(out, tables);
    write_two_byte_codes(out, tables);
    const bool written = !std::ferror(out);
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "mt_table_files: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

// Usage: mt_table_files [directory]; writes mt2.tbl and mt3.tbl there.
int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? std::string(argv[1]) + "/" : std::string();
    const bool a = write_table_file(dir + "mt2.tbl", mt2::kCharTables);
    const bool b = write_table_file(dir + "mt3.tbl", mt3::kCharTables);
    return a && b ? 0 : 1;
}
