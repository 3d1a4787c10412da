#include "decode.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "block.h"
#include "outfile.h"

namespace {

constexpr size_t kChunk = 64 * 1024;

void append(const char* entry, char* out, size_t* n) {
    // Entries are one or two bytes long.
    out[(*n)++] = entry[0];
    if (entry[1]) out[(*n)++] = entry[1];
}

bool same_file(const struct stat& a, const char* path) {
    struct stat b;
    return stat(path, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

size_t decode_block(const unsigned char* in, size_t length, char* out, size_t* consumed,
                    const CharTables& tables) {
    size_t n = 0;
    size_t i = 0;
    while (i < length) {
        const unsigned char b = in[i];
        if (is_lead_byte(b)) {
            if (i + 1 >= length) break;
            append(tables.dbl[(b - kFirstLeadByte) * 256 + in[i + 1]], out, &n);
            i += 2;
        } else if (b == 0x00) {
            out[n++] = '\n';
            ++i;
        } else {
            append(tables.single[b], out, &n);
            ++i;
        }
    }
    *consumed = i;
    return n;
}

int decode_stream(FILE* in, FILE* out, const CharTables& tables) {
    unsigned char* input = alloc_block<unsigned char>(kChunk + 1);
    char* output = alloc_block<char>(4 * (kChunk + 1));
    size_t pending = 0;  // a lead byte carried over from the previous chunk
    int ok = 1;
    for (;;) {
        const size_t got = fread(input + pending, 1, kChunk, in);
        if (got == 0) break;
        size_t used = 0;
        const size_t n = decode_block(input, pending + got, output, &used, tables);
        if (n && fwrite(output, 1, n, out) != n) {
            ok = 0;
            break;
        }
        pending = pending + got - used;
        if (pending) input[0] = input[used];
    }
    if (ferror(in)) ok = 0;
    free(input);
    free(output);
    return ok;
}

int decode_file(const char* src_path, const char* dst_path, const CharTables& tables) {
    if (!src_path || !*src_path || !dst_path || !*dst_path) return 0;
    FILE* in = fopen(src_path, "rb");
    if (!in) return 0;
    struct stat source;
    if (fstat(fileno(in), &source) != 0 || S_ISDIR(source.st_mode) || same_file(source, dst_path)) {
        fclose(in);
        return 0;
    }
    FILE* out = open_output(dst_path);
    if (!out) {
        fclose(in);
        return 0;
    }
    int ok = decode_stream(in, out, tables);
    fclose(in);
    if (!close_output(out)) ok = 0;
    return ok;
}
