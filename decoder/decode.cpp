#include "decoder/decode.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/files.h"
#include "common/outfile.h"

namespace {

constexpr size_t kChunk = 64 * 1024;

PackedEntry pack(const char* entry) {
    PackedEntry p{{entry[0], entry[0] ? entry[1] : '\0'}, static_cast<unsigned char>(entry[0] && entry[1] ? 2 : 1)};
    return p;
}

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

}  // namespace

PackedTables pack_tables(const CharTables& tables) {
    PackedTables packed;
    for (int i = 0; i < 256; ++i) packed.codes[i] = pack(tables.single[i]);
    packed.codes[0] = pack("\n");
    for (int i = 0; i < 1024; ++i) packed.codes[256 + i] = pack(tables.dbl[i]);
    return packed;
}

size_t decode_block(const unsigned char* in, size_t length, char* out, size_t* consumed, const PackedTables& t) {
    // Without a branch per code: every byte is looked up, and a byte that is
    // the second byte of a two-byte code writes a length of 0. A byte is such
    // a second byte when the byte before it is a lead byte that starts a code.
    size_t n = 0;
    unsigned second = 0;  // in[i] is the second byte of a two-byte code
    size_t i = 0;
    for (; i + 1 < length; ++i) {
        const unsigned b = in[i];
        const unsigned lead = is_lead_byte(static_cast<unsigned char>(b));
        const unsigned dbl = 256 + ((b - kFirstLeadByte) & 3) * 256 + in[i + 1];
        // lead ? dbl : b, computed so that the compiler does not branch on it
        // (lead bytes come at random, a branch would be mispredicted often).
        const PackedEntry& p = t.codes[b ^ ((b ^ dbl) & (0u - lead))];  // 0x00 is packed as the line end
        // Both bytes are copied; a shorter entry's bytes are overwritten next.
        std::memcpy(out + n, p.bytes, 2);
        const unsigned skip = second;
        n += p.length & (skip - 1);
        second = lead & (skip ^ 1);
    }
    if (i < length && !second) {
        // The last byte: a single-byte code, or a lead byte left unconsumed.
        if (is_lead_byte(in[i])) {
            *consumed = i;
            return n;
        }
        const PackedEntry& p = t.codes[in[i]];
        out[n] = p.bytes[0];
        out[n + 1] = p.bytes[1];
        n += p.length;
    }
    *consumed = length;
    return n;
}

int decode_stream(FILE* in, FILE* out, const CharTables& tables) {
    const auto input_block = std::make_unique_for_overwrite<unsigned char[]>(kChunk + 1);
    const auto output_block = std::make_unique_for_overwrite<char[]>(4 * (kChunk + 1));
    unsigned char* const input = input_block.get();
    char* const output = output_block.get();
    const PackedTables packed = pack_tables(tables);
    size_t pending = 0;  // a lead byte carried over from the previous chunk
    int ok = 1;
    for (;;) {
        const size_t got = fread(input + pending, 1, kChunk, in);
        if (got == 0) break;
        size_t used = 0;
        const size_t n = decode_block(input, pending + got, output, &used, packed);
        if (n && fwrite(output, 1, n, out) != n) {
            ok = 0;
            break;
        }
        pending = pending + got - used;
        if (pending) input[0] = input[used];
    }
    if (ferror(in)) ok = 0;
    return ok;
}

int decode_file(const char* src_path, const char* dst_path, const CharTables& tables) {
    if (!src_path || !*src_path || !dst_path || !*dst_path) return 0;
    const std::unique_ptr<FILE, FileCloser> in(open_file(src_path, "rb"));
    if (!in) return 0;
    // Never write over the source, under whatever name it is given.
    if (is_directory(in.get()) || file_identity(in.get(), dst_path) != FileIdentity::Different) return 0;
    OutputFile out;
    if (!out.open(dst_path)) return 0;
    const int ok = decode_stream(in.get(), out.stream(), tables);
    return out.close() && ok;
}
