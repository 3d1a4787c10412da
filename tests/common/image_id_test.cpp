// Image identification: the hashes as catalogues print them, the internal
// checksum with mirroring, and the same identity from memory and from a file
// read in chunks.
#include "common/image_id.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/support/test_util.h"

namespace {

// A ROM of the given size with a varied fill.
std::vector<unsigned char> rom_bytes(size_t size) {
    std::vector<unsigned char> rom(size);
    for (size_t i = 0; i < size; ++i) rom[i] = static_cast<unsigned char>(i * 7 + i / 251);
    return rom;
}

size_t next_power_of_two(size_t n) {
    size_t p = 1;
    while (p < n) p *= 2;
    return p;
}

// Which byte of a ROM of size n the console sees at address a of the
// power-of-two space it fills: the largest power-of-two part directly, the
// rest repeated through the remaining space and decoded the same way.
size_t rom_byte_at(size_t a, size_t n) {
    size_t p = next_power_of_two(n);
    if (p != n) p /= 2;
    if (a < p) return a;
    return p + rom_byte_at((a - p) % next_power_of_two(n - p), n - p);
}

// The checksum the slow way: every address of the mirrored space summed.
unsigned mirrored_by_hand(const std::vector<unsigned char>& rom) {
    unsigned long long sum = 0;
    for (size_t a = 0; a < next_power_of_two(rom.size()); ++a) sum += rom[rom_byte_at(a, rom.size())];
    return static_cast<unsigned>(sum & 0xFFFF);
}

TEST(ImageId, ChecksumMirrorsSizesThatAreNotPowersOfTwo) {
    // 3 = 2 + 1, 5 = 4 + 1, 7 = 4 + 2 + 1 (the tail itself mirrored), 10 = 8 + 2.
    for (size_t kib : {1u, 2u, 3u, 5u, 6u, 7u, 10u, 11u}) {
        const std::vector<unsigned char> rom = rom_bytes(kib * 1024);
        EXPECT_EQ(common::rom_checksum(rom.data(), rom.size()), mirrored_by_hand(rom)) << kib << " KiB";
    }
    EXPECT_EQ(common::rom_checksum(nullptr, 0), 0u);
}

TEST(ImageId, HashesOfKnownInputs) {
    const unsigned char check[] = "123456789";
    EXPECT_EQ(common::crc32_of(check, 9), 0xCBF43926u);
    EXPECT_EQ(common::crc32_hex(0x0000ABCDu), "0000ABCD");
    const common::ImageIdentity id = common::identify_image(check, 9, -1);
    EXPECT_EQ(id.file.md5, "25f9e794323b453885f5181f1b624d0b");
    EXPECT_EQ(id.file.sha1, "f7c3bc1d808e04732adf679965ccc34ca7ae3441");
    EXPECT_EQ(id.copier_header, 0);
    EXPECT_EQ(id.rom.sha1, id.file.sha1);
    EXPECT_FALSE(id.checksum_valid);  // no cartridge header
}

// Runs of "a" around the ends of the 64-byte blocks of MD5 and SHA-1 (55 bytes
// leave room for the length in the last block, 56 do not), many blocks, and
// a million bytes; the digests as zlib.crc32, md5sum and sha1sum give them.
struct KnownDigests {
    size_t length;
    uint32_t crc32;
    const char* md5;
    const char* sha1;
};
constexpr KnownDigests kRunsOfA[] = {
    {0, 0x00000000u, "d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    {55, 0xAADFE34Eu, "ef1772b6dff9a122358552954ad0df65", "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
    {56, 0x79790D37u, "3b0c8ac703f828b04c6c197006d17218", "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
    {64, 0x89B46555u, "014842d480b571495a4a0363793f7367", "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
    {65536, 0xC32091FFu, "2d61aa54b58c2e94403fb092c3dbc027", "79db5888b5d38e10afbdbd14a19cd1caa9044c65"},
    {1000000, 0xDC25BFBCu, "7707d6ae4e027c70eea2a935c2296f21", "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
};

TEST(ImageId, DigestsOfRunsAcrossBlockEnds) {
    for (const KnownDigests& known : kRunsOfA) {
        const std::vector<unsigned char> bytes(known.length, 'a');
        const common::ImageIdentity id = common::identify_image(bytes.data(), bytes.size(), -1);
        EXPECT_EQ(common::crc32_of(bytes.data(), bytes.size()), known.crc32) << known.length;
        EXPECT_EQ(id.file.crc32, known.crc32) << known.length;
        EXPECT_EQ(id.file.md5, known.md5) << known.length;
        EXPECT_EQ(id.file.sha1, known.sha1) << known.length;
        EXPECT_EQ(id.rom.crc32, known.crc32) << known.length;
        EXPECT_EQ(id.rom.md5, known.md5) << known.length;
        EXPECT_EQ(id.rom.sha1, known.sha1) << known.length;
    }
}

// Behind a copier header the ROM proper has the digests of its own bytes, the
// file those of all of them.
TEST(ImageId, CopierHeaderIsHashedWithTheFileOnly) {
    std::vector<unsigned char> file(common::kCopierHeaderSize, 0);
    file.resize(common::kCopierHeaderSize + 65536, 'a');
    const common::ImageIdentity id = common::identify_image(file.data(), file.size(), -1);
    ASSERT_EQ(id.copier_header, common::kCopierHeaderSize);
    EXPECT_EQ(id.rom.crc32, 0xC32091FFu);
    EXPECT_EQ(id.rom.md5, "2d61aa54b58c2e94403fb092c3dbc027");
    EXPECT_EQ(id.rom.sha1, "79db5888b5d38e10afbdbd14a19cd1caa9044c65");
    EXPECT_EQ(id.file.crc32, 0xD213CAA7u);
    EXPECT_EQ(id.file.md5, "d680f1d4fa553fb0e75c8f2119c954c8");
    EXPECT_EQ(id.file.sha1, "808a23657f61ccdced83301e78b784fd8bc5cc01");
}

// Only the hashes asked for: the others stay empty, the ones asked for are
// the same as among all of them.
TEST(ImageId, OnlyTheDigestsAskedFor) {
    const std::vector<unsigned char> bytes(70000, 'a');
    const common::ImageIdentity every = common::identify_image(bytes.data(), bytes.size(), -1);
    const struct {
        unsigned kinds;
        bool crc32, md5, sha1;
    } cases[] = {
        {common::kDigestCrc32, true, false, false},
        {common::kDigestCrc32 | common::kDigestSha1, true, false, true},
        {common::kDigestMd5, false, true, false},
        {common::kEveryDigest, true, true, true},
    };
    for (const auto& c : cases) {
        const common::ImageIdentity id = common::identify_image(bytes.data(), bytes.size(), -1, c.kinds);
        EXPECT_EQ(id.rom.crc32, c.crc32 ? every.rom.crc32 : 0u) << c.kinds;
        EXPECT_EQ(id.rom.md5, c.md5 ? every.rom.md5 : "") << c.kinds;
        EXPECT_EQ(id.rom.sha1, c.sha1 ? every.rom.sha1 : "") << c.kinds;
        EXPECT_EQ(id.file.sha1, id.rom.sha1) << c.kinds;
        EXPECT_EQ(id.computed_checksum, every.computed_checksum) << c.kinds;
    }
}

// A LoROM image behind a copier header, its checksum stored right or not.
std::vector<unsigned char> headed_image(bool valid) {
    std::vector<unsigned char> file(common::kCopierHeaderSize, 0xEE);
    std::vector<unsigned char> rom = rom_bytes(96 * 1024);
    unsigned char* const header = rom.data() + 0x7FC0;
    header[common::kChecksumComplementOffset] = header[common::kChecksumComplementOffset + 1] = 0xFF;
    header[common::kChecksumOffset] = header[common::kChecksumOffset + 1] = 0;
    const unsigned sum = common::rom_checksum(rom.data(), rom.size()) + (valid ? 0 : 1);
    const unsigned complement = sum ^ 0xFFFF;
    header[common::kChecksumComplementOffset] = complement & 0xFF;
    header[common::kChecksumComplementOffset + 1] = complement >> 8;
    header[common::kChecksumOffset] = sum & 0xFF;
    header[common::kChecksumOffset + 1] = (sum >> 8) & 0xFF;
    file.insert(file.end(), rom.begin(), rom.end());
    return file;
}

TEST(ImageId, CopierHeaderAndStoredChecksum) {
    for (bool valid : {true, false}) {
        const std::vector<unsigned char> file = headed_image(valid);
        const common::ImageIdentity id = common::identify_image(file.data(), file.size(), common::kCopierHeaderSize + 0x7FC0);
        EXPECT_EQ(id.copier_header, common::kCopierHeaderSize);
        EXPECT_EQ(id.file_size, static_cast<long long>(file.size()));
        EXPECT_EQ(id.checksum_valid, valid);
        EXPECT_EQ(id.stored_complement, id.stored_checksum ^ 0xFFFF);
        const std::vector<unsigned char> rom(file.begin() + common::kCopierHeaderSize, file.end());
        EXPECT_EQ(id.rom.crc32, common::crc32_of(rom.data(), rom.size()));
        EXPECT_EQ(id.file.crc32, common::crc32_of(file.data(), file.size()));
        EXPECT_NE(id.rom.md5, id.file.md5);
    }
}

TEST(ImageId, StreamGivesTheSameIdentityAsMemory) {
    // Larger than one read chunk, so the copier header, the checksum bytes and
    // the power-of-two parts are seen across chunk ends.
    std::vector<unsigned char> file = headed_image(true);
    const std::vector<unsigned char> more = rom_bytes(600 * 1024);
    file.insert(file.end(), more.begin(), more.end());
    const TempDir dir;
    const std::string path = dir.file("image.smc");
    write_file(path, Bytes(file.begin(), file.end()));
    FILE* stream = fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    common::ImageIdentity streamed;
    const bool read = common::identify_stream(stream, static_cast<long long>(file.size()), common::kCopierHeaderSize + 0x7FC0, &streamed);
    fclose(stream);
    ASSERT_TRUE(read);
    const common::ImageIdentity held = common::identify_image(file.data(), file.size(), common::kCopierHeaderSize + 0x7FC0);
    EXPECT_EQ(streamed.rom.sha1, held.rom.sha1);
    EXPECT_EQ(streamed.file.md5, held.file.md5);
    EXPECT_EQ(streamed.computed_checksum, held.computed_checksum);
    EXPECT_EQ(streamed.stored_checksum, held.stored_checksum);
    EXPECT_EQ(streamed.checksum_valid, held.checksum_valid);
}

}  // namespace
