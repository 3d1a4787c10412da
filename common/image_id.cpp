#include "common/image_id.h"

#include <gcrypt.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr size_t kChunk = 256 * 1024;
constexpr int kAlgorithms[] = {GCRY_MD_CRC32, GCRY_MD_MD5, GCRY_MD_SHA1};

// libgcrypt must be told once, before its first use, that no secure memory is
// wanted and that it is ready.
bool init_gcrypt() {
    static const bool ready = [] {
        if (!gcry_check_version(GCRYPT_VERSION)) return false;
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    return ready;
}

struct HandleCloser {
    void operator()(gcry_md_hd_t h) const { gcry_md_close(h); }
};
using Handle = std::unique_ptr<gcry_md_handle, HandleCloser>;

// One handle computing the three hashes of the same bytes.
Handle open_hashes() {
    gcry_md_hd_t h = nullptr;
    if (!init_gcrypt() || gcry_md_open(&h, 0, 0) != 0) return nullptr;
    Handle handle(h);
    for (int algo : kAlgorithms) {
        if (gcry_md_enable(h, algo) != 0) return nullptr;
    }
    return handle;
}

std::string hex(const unsigned char* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < count; ++i) {
        s += kDigits[bytes[i] >> 4];
        s += kDigits[bytes[i] & 15];
    }
    return s;
}

Digests digests(gcry_md_hd_t h) {
    Digests d;
    const unsigned char* crc = gcry_md_read(h, GCRY_MD_CRC32);  // big-endian
    d.crc32 = uint32_t{crc[0]} << 24 | uint32_t{crc[1]} << 16 | uint32_t{crc[2]} << 8 | crc[3];
    d.md5 = hex(gcry_md_read(h, GCRY_MD_MD5), gcry_md_get_algo_dlen(GCRY_MD_MD5));
    d.sha1 = hex(gcry_md_read(h, GCRY_MD_SHA1), gcry_md_get_algo_dlen(GCRY_MD_SHA1));
    return d;
}

bool is_power_of_two(size_t n) { return n != 0 && (n & (n - 1)) == 0; }

size_t largest_power_below_or_equal(size_t n) {
    size_t p = 1;
    while (p <= n / 2) p *= 2;
    return p;
}

// The ROM proper is split into its power-of-two parts, largest first (the
// binary digits of its size); the checksum is their sums, each later part
// mirrored as often as it takes to fill the part before it.
std::vector<size_t> power_parts(size_t size) {
    std::vector<size_t> parts;
    while (size) {
        parts.push_back(largest_power_below_or_equal(size));
        size -= parts.back();
    }
    return parts;
}

unsigned mirrored_sum(const std::vector<size_t>& parts, const std::vector<unsigned long long>& sums) {
    if (parts.empty()) return 0;
    // From the smallest part up: rest is the sum of the parts after part i,
    // already mirrored to the next power of two of their size.
    unsigned long long rest = sums.back();
    size_t rest_size = parts.back();
    for (size_t i = parts.size() - 1; i-- > 0;) {
        const size_t rest_span = is_power_of_two(rest_size) ? rest_size : 2 * parts[i + 1];
        rest = sums[i] + rest * (parts[i] / rest_span);
        rest_size += parts[i];
    }
    return static_cast<unsigned>(rest & 0xFFFF);
}

// Everything of an identity that is taken from the bytes as they pass by, in
// file order, so that a file of any size is read only once.
class Identifier {
public:
    Identifier(long long file_size, long long header_pos)
        : file_size_(file_size),
          copier_(copier_header_size(file_size)),
          header_pos_(header_pos),
          parts_(power_parts(static_cast<size_t>(file_size - copier_))),
          sums_(parts_.size(), 0),
          file_(open_hashes()),
          rom_(open_hashes()) {}

    bool ok() const { return file_ && rom_; }

    void feed(const unsigned char* data, size_t count) {
        gcry_md_write(file_.get(), data, count);
        take_header_bytes(data, count);
        const size_t skip = pos_ >= copier_ ? 0 : std::min<size_t>(count, static_cast<size_t>(copier_ - pos_));
        gcry_md_write(rom_.get(), data + skip, count - skip);
        add_to_parts(data + skip, count - skip);
        pos_ += static_cast<long long>(count);
    }

    ImageIdentity finish() {
        ImageIdentity id;
        id.file_size = file_size_;
        id.copier_header = copier_;
        id.file = digests(file_.get());
        id.rom = digests(rom_.get());
        id.computed_checksum = mirrored_sum(parts_, sums_);
        if (header_seen_ == 4) {
            id.stored_complement = header_[0] | header_[1] << 8;
            id.stored_checksum = header_[2] | header_[3] << 8;
            id.checksum_valid = id.stored_checksum == id.computed_checksum &&
                                id.stored_complement == (id.stored_checksum ^ 0xFFFF);
        }
        return id;
    }

private:
    // The bytes of the ROM proper, summed part by part.
    void add_to_parts(const unsigned char* data, size_t count) {
        while (count > 0 && part_ < parts_.size()) {
            const size_t span = std::min(count, parts_[part_] - part_used_);
            unsigned long long sum = 0;
            for (size_t i = 0; i < span; ++i) sum += data[i];
            sums_[part_] += sum;
            part_used_ += span;
            data += span;
            count -= span;
            if (part_used_ == parts_[part_]) {
                ++part_;
                part_used_ = 0;
            }
        }
    }

    // The checksum complement and checksum, wherever they fall in the chunks.
    void take_header_bytes(const unsigned char* data, size_t count) {
        if (header_pos_ < 0) return;
        for (int k = 0; k < 4; ++k) {
            const long long at = header_pos_ + kChecksumComplementOffset + k - pos_;
            if (at >= 0 && at < static_cast<long long>(count)) {
                header_[k] = data[at];
                ++header_seen_;
            }
        }
    }

    long long file_size_;
    long long copier_;
    long long header_pos_;
    std::vector<size_t> parts_;
    std::vector<unsigned long long> sums_;
    Handle file_;
    Handle rom_;
    long long pos_ = 0;
    size_t part_ = 0;
    size_t part_used_ = 0;
    unsigned header_[4] = {0, 0, 0, 0};
    int header_seen_ = 0;
};

}  // namespace

int copier_header_size(long long file_size) { return file_size % 1024 == kCopierHeaderSize ? kCopierHeaderSize : 0; }

unsigned rom_checksum(const unsigned char* rom, size_t size) {
    const std::vector<size_t> parts = power_parts(size);
    std::vector<unsigned long long> sums;
    size_t at = 0;
    for (size_t part : parts) {
        unsigned long long sum = 0;
        for (size_t i = 0; i < part; ++i) sum += rom[at + i];
        sums.push_back(sum);
        at += part;
    }
    return mirrored_sum(parts, sums);
}

uint32_t crc32_of(const unsigned char* data, size_t size) {
    unsigned char digest[4];
    if (!init_gcrypt()) return 0;
    gcry_md_hash_buffer(GCRY_MD_CRC32, digest, data, size);
    return uint32_t{digest[0]} << 24 | uint32_t{digest[1]} << 16 | uint32_t{digest[2]} << 8 | digest[3];
}

ImageIdentity identify_image(const unsigned char* data, size_t size, long long header_pos) {
    Identifier id(static_cast<long long>(size), header_pos);
    if (!id.ok()) throw std::bad_alloc();
    id.feed(data, size);
    return id.finish();
}

bool identify_stream(FILE* stream, long long file_size, long long header_pos, ImageIdentity* identity) {
    Identifier id(file_size, header_pos);
    if (!id.ok()) {
        errno = ENOMEM;
        return false;
    }
    std::vector<unsigned char> chunk(kChunk);
    long long left = file_size;
    while (left > 0) {
        const size_t want = left < static_cast<long long>(kChunk) ? static_cast<size_t>(left) : kChunk;
        const size_t got = fread(chunk.data(), 1, want, stream);
        if (got != want) {
            if (!ferror(stream)) errno = EIO;  // the file shrank while it was read
            return false;
        }
        id.feed(chunk.data(), got);
        left -= static_cast<long long>(got);
    }
    *identity = id.finish();
    return true;
}

std::string crc32_hex(uint32_t crc) {
    char text[9];
    snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
    return text;
}
