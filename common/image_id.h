// Which image a file holds, in the forms that ROM catalogues and patch sites
// list: its size, whether it carries a copier header, the CRC32, MD5 and SHA-1
// of the whole file and of the ROM proper (the file without its copier
// header), and the internal checksum of the cartridge header, as stored and as
// computed from the ROM proper.
//
// The hashes come from Boost's headers (its CRC, the MD5 of its UUID library
// and Beast's SHA-1), used in image_id.cpp only. This library is for the newer tools
// (the exporters and what builds on them); the analyzers and decoders do not
// link it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace common {

constexpr int kCopierHeaderSize = 512;
// Offsets in the cartridge header (from its title) of the checksum complement
// and the checksum, both 16-bit little-endian.
constexpr int kChecksumComplementOffset = 0x1C;
constexpr int kChecksumOffset = 0x1E;

struct Digests {
    uint32_t crc32 = 0;
    std::string md5;   // lowercase hexadecimal
    std::string sha1;  // lowercase hexadecimal
};

struct ImageIdentity {
    long long file_size = 0;
    int copier_header = 0;  // 0 or kCopierHeaderSize
    Digests file;           // the whole file
    Digests rom;            // the ROM proper
    // As stored in the cartridge header; 0 when the header was not found or
    // lies (partly) outside the file.
    unsigned stored_checksum = 0;
    unsigned stored_complement = 0;
    unsigned computed_checksum = 0;  // from the ROM proper, see rom_checksum
    // stored == computed and complement == stored ^ 0xFFFF (false when the
    // header was not found).
    bool checksum_valid = false;
};

// The copier header of a file of this size: 512 bytes when the size is 512
// more than a multiple of 1 KiB, as copiers wrote them; else none.
int copier_header_size(long long file_size);

// The console's checksum of a ROM: the byte sum modulo 65536. A size that is
// not a power of two is mirrored up to the next one, as the boot code sees it:
// the largest power-of-two part once, the rest repeated to fill the same size
// again (itself mirrored the same way).
unsigned rom_checksum(const unsigned char* rom, size_t size);

// The CRC32 (ISO 3309, as zlib, IPS/UPS/BPS patches and ROM catalogues use it).
uint32_t crc32_of(const unsigned char* data, size_t size);

// Which hashes identify_image computes (a tool that shows only some spares
// the time of the others): a digest not asked for is left empty (0 for the
// CRC32).
enum DigestKinds : unsigned { kDigestCrc32 = 1, kDigestMd5 = 2, kDigestSha1 = 4, kEveryDigest = 7 };

// The identity of an image held in memory. header_pos is the offset in data of
// the cartridge header (its title), or -1 when it was not found.
ImageIdentity identify_image(const unsigned char* data, size_t size, long long header_pos,
                             unsigned kinds = kEveryDigest);

// The same for an open file of file_size bytes, read once from its current
// position (its start) to its end in chunks, so an image of any size can be
// identified. Returns false, with errno set, when the file cannot be read to
// its end.
bool identify_stream(FILE* stream, long long file_size, long long header_pos, ImageIdentity* identity);

// A CRC32 as ROM catalogues spell it: eight uppercase hexadecimal digits.
std::string crc32_hex(uint32_t crc);

}  // namespace common
