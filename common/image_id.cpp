#include "common/image_id.h"

#include <boost/version.hpp>

// From Boost 1.71 on, the MD5 of Boost's UUID library gives its digest as
// 32-bit words whose bytes, most significant first, are the digest as md5sum
// prints it; Beast's SHA-1 gives the 20 bytes themselves (it hashes whole
// blocks at a time, several times faster than the UUID library's SHA-1,
// which takes one byte at a time). A Boost whose digests are laid out
// otherwise must be read anew in Hashes::finish() below.
#if BOOST_VERSION < 107100 || BOOST_VERSION >= 108600
#error "image_id.cpp reads the MD5 and SHA-1 digests as Boost 1.71 to 1.85 lay them out: check Hashes::finish() for this Boost"
#endif
#ifdef BOOST_UUID_COMPAT_PRE_1_71_MD5
#error "image_id.cpp needs the MD5 digest of Boost 1.71 and later: do not define BOOST_UUID_COMPAT_PRE_1_71_MD5"
#endif

#include <boost/beast/core/detail/sha1.hpp>
#include <boost/crc.hpp>
#include <boost/uuid/detail/md5.hpp>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace common {

namespace {

constexpr size_t kChunk = 256 * 1024;
// Boost's MD5 takes at most an unsigned long at a time (32 bits on Windows).
constexpr size_t kLargestPiece = size_t{1} << 30;

std::string hex(const unsigned char* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    s.reserve(2 * count);
    for (size_t i = 0; i < count; ++i) {
        s += kDigits[bytes[i] >> 4];
        s += kDigits[bytes[i] & 15];
    }
    return s;
}

// A digest of 32-bit words, each most significant byte first.
template <size_t N>
std::string word_digest(const unsigned int (&words)[N]) {
    unsigned char bytes[4 * N];
    for (size_t i = 0; i < N; ++i) {
        for (int k = 0; k < 4; ++k) bytes[4 * i + k] = static_cast<unsigned char>(words[i] >> (24 - 8 * k));
    }
    return hex(bytes, sizeof bytes);
}

// The wanted hashes of the same bytes, fed as they pass by.
class Hashes {
public:
    explicit Hashes(unsigned kinds) : kinds_(kinds) { boost::beast::detail::init(sha1_); }

    void feed(const unsigned char* data, size_t count) {
        while (count > 0) {
            const size_t piece = std::min(count, kLargestPiece);
            if (kinds_ & kDigestCrc32) crc_.process_bytes(data, piece);
            if (kinds_ & kDigestMd5) md5_.process_bytes(data, piece);
            if (kinds_ & kDigestSha1) boost::beast::detail::update(sha1_, data, piece);
            data += piece;
            count -= piece;
        }
    }

    Digests finish() {
        Digests d;
        if (kinds_ & kDigestCrc32) d.crc32 = crc_.checksum();
        if (kinds_ & kDigestMd5) {
            boost::uuids::detail::md5::digest_type md5;
            md5_.get_digest(md5);
            d.md5 = word_digest(md5);
        }
        if (kinds_ & kDigestSha1) {
            unsigned char sha1[boost::beast::detail::sha1_context::digest_size];
            boost::beast::detail::finish(sha1_, sha1);
            d.sha1 = hex(sha1, sizeof sha1);
        }
        return d;
    }

private:
    unsigned kinds_;
    boost::crc_32_type crc_;
    boost::uuids::detail::md5 md5_;
    boost::beast::detail::sha1_context sha1_;
};

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
    Identifier(long long file_size, long long header_pos, unsigned kinds)
        : file_size_(file_size),
          copier_(copier_header_size(file_size)),
          header_pos_(header_pos),
          parts_(power_parts(static_cast<size_t>(file_size - copier_))),
          sums_(parts_.size(), 0),
          file_(kinds),
          rom_(kinds) {}

    // Without a copier header the file is the ROM proper: its bytes are
    // hashed once.
    void feed(const unsigned char* data, size_t count) {
        if (copier_ > 0) file_.feed(data, count);
        take_header_bytes(data, count);
        const size_t skip = pos_ >= copier_ ? 0 : std::min<size_t>(count, static_cast<size_t>(copier_ - pos_));
        rom_.feed(data + skip, count - skip);
        add_to_parts(data + skip, count - skip);
        pos_ += static_cast<long long>(count);
    }

    ImageIdentity finish() {
        ImageIdentity id;
        id.file_size = file_size_;
        id.copier_header = copier_;
        id.rom = rom_.finish();
        id.file = copier_ > 0 ? file_.finish() : id.rom;
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
    Hashes file_;
    Hashes rom_;
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
    boost::crc_32_type crc;
    crc.process_bytes(data, size);
    return crc.checksum();
}

ImageIdentity identify_image(const unsigned char* data, size_t size, long long header_pos, unsigned kinds) {
    Identifier id(static_cast<long long>(size), header_pos, kinds);
    id.feed(data, size);
    return id.finish();
}

bool identify_stream(FILE* stream, long long file_size, long long header_pos, ImageIdentity* identity) {
    Identifier id(file_size, header_pos, kEveryDigest);
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

}  // namespace common
