#include "decoder/decode.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/files.h"
#include "common/outfile.h"

namespace decoder {

namespace {

constexpr size_t kChunk = 64 * 1024;

// A code's text as a packed entry: its bytes (one or two) and its length.
uint32_t pack(const char* entry) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(entry[0]),
                                    static_cast<unsigned char>(entry[0] ? entry[1] : '\0'),
                                    static_cast<unsigned char>(entry[0] && entry[1] ? 2 : 1), 0};
    uint32_t packed;
    std::memcpy(&packed, bytes, sizeof packed);
    return packed;
}

// Stores a packed code at out (all 4 bytes: the next code overwrites what is
// not its own) and returns its length.
inline size_t store_code(uint32_t code, char* out) {
    std::memcpy(out, &code, sizeof code);
    return code_length(code);
}

// The bytes that decode_block looks at together for a lead byte among them.
constexpr size_t kRun = 16;
constexpr uint64_t kEveryByte = 0x0101010101010101u;
static_assert(common::kFirstLeadByte % 4 == 0 && common::kLastLeadByte == common::kFirstLeadByte + 3,
              "the lead bytes are the four bytes of one upper six bits");

// Whether any of the kRun bytes at in is a lead byte (0x20-0x23): in each
// eight bytes, a byte whose upper six bits are those of 0x20 is zeroed, and a
// zero byte looked for.
inline bool has_lead_byte(const unsigned char* in) {
    uint64_t found = 0;
    for (size_t k = 0; k < kRun; k += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, in + k, sizeof word);
        const uint64_t x = (word ^ (common::kFirstLeadByte * kEveryByte)) & (0xFC * kEveryByte);
        found |= (x - kEveryByte) & ~x & (0x80 * kEveryByte);
    }
    return found != 0;
}

// Decodes the count bytes at in, the first of which starts a code, without a
// branch per code: every byte is looked up (a lead byte with the byte after
// it, which must be there), and a byte that is the second byte of a two-byte
// code counts a length of 0, so that the next code overwrites what it stored.
// counts is all ones while in[i] starts a code: after a byte that starts a
// code and is a lead byte, the next byte starts none. Adds the bytes written
// to *n and returns the bytes used: count, or count + 1 when the last byte
// led a two-byte code.
inline size_t decode_bytes(const unsigned char* in, size_t count, char* out, size_t* n, const PackedTables& t) {
    size_t written = *n;
    uint32_t counts = ~0u;
    for (size_t i = 0; i < count; ++i) {
        const unsigned b = in[i];
        const uint32_t lead = static_cast<uint32_t>(static_cast<int32_t>(t.lead[b]));
        const uint32_t code = t.codes[t.first[b] + (lead & in[i + 1])];
        written += store_code(code, out + written) & counts;
        counts = ~(lead & counts);
    }
    *n = written;
    return count + (~counts & 1);
}

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

}  // namespace

PackedTables pack_tables(const common::CharTables& tables) {
    PackedTables packed;
    for (int i = 0; i < 256; ++i) packed.codes[i] = pack(tables.single[i]);
    packed.codes[0] = pack("\n");
    for (int i = 0; i < 1024; ++i) packed.codes[256 + i] = pack(tables.dbl[i]);
    for (unsigned b = 0; b < 256; ++b) {
        const bool lead = common::is_lead_byte(static_cast<unsigned char>(b));
        packed.first[b] = static_cast<uint16_t>(lead ? 256 + (b - common::kFirstLeadByte) * 256 : b);
        packed.lead[b] = static_cast<int8_t>(lead ? -1 : 0);
    }
    return packed;
}

size_t decode_block(const unsigned char* in, size_t length, char* out, size_t* consumed, const PackedTables& t) {
    // Sixteen bytes at a time: where none of them is a lead byte, as in most
    // game text, each is a single-byte code of its own and is looked up alone;
    // else they go through the loop without a branch per code, which may also
    // take the byte after them.
    size_t n = 0;
    size_t i = 0;
    while (i + kRun < length) {
        if (has_lead_byte(in + i)) {
            i += decode_bytes(in + i, kRun, out, &n, t);
            continue;
        }
        for (size_t k = 0; k < kRun; ++k) n += store_code(t.codes[in[i + k]], out + n);
        i += kRun;
    }
    if (i + 1 < length) i += decode_bytes(in + i, length - 1 - i, out, &n, t);
    if (i < length) {
        // The last byte starts a code: a single-byte code, or a lead byte left unconsumed.
        if (common::is_lead_byte(in[i])) {
            *consumed = i;
            return n;
        }
        n += store_code(t.codes[in[i]], out + n);
    }
    *consumed = length;
    return n;
}

int decode_stream(FILE* in, FILE* out, const common::CharTables& tables) {
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

int decode_file(const char* src_path, const char* dst_path, const common::CharTables& tables) {
    if (!src_path || !*src_path || !dst_path || !*dst_path) return 0;
    const std::unique_ptr<FILE, FileCloser> in(common::open_file(src_path, "rb"));
    if (!in) return 0;
    // Never write over the source, under whatever name it is given.
    if (common::is_directory(in.get()) || common::file_identity(in.get(), dst_path) != common::FileIdentity::Different) return 0;
    common::OutputFile out;
    if (!out.open(dst_path)) return 0;
    const int ok = decode_stream(in.get(), out.stream(), tables);
    return out.close() && ok;
}

}  // namespace decoder
