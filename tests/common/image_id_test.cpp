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
        EXPECT_EQ(rom_checksum(rom.data(), rom.size()), mirrored_by_hand(rom)) << kib << " KiB";
    }
    EXPECT_EQ(rom_checksum(nullptr, 0), 0u);
}

TEST(ImageId, HashesOfKnownInputs) {
    const unsigned char check[] = "123456789";
    EXPECT_EQ(crc32_of(check, 9), 0xCBF43926u);
    EXPECT_EQ(crc32_hex(0x0000ABCDu), "0000ABCD");
    const ImageIdentity id = identify_image(check, 9, -1);
    EXPECT_EQ(id.file.md5, "25f9e794323b453885f5181f1b624d0b");
    EXPECT_EQ(id.file.sha1, "f7c3bc1d808e04732adf679965ccc34ca7ae3441");
    EXPECT_EQ(id.copier_header, 0);
    EXPECT_EQ(id.rom.sha1, id.file.sha1);
    EXPECT_FALSE(id.checksum_valid);  // no cartridge header
}

// A LoROM image behind a copier header, its checksum stored right or not.
std::vector<unsigned char> headed_image(bool valid) {
    std::vector<unsigned char> file(kCopierHeaderSize, 0xEE);
    std::vector<unsigned char> rom = rom_bytes(96 * 1024);
    unsigned char* const header = rom.data() + 0x7FC0;
    header[kChecksumComplementOffset] = header[kChecksumComplementOffset + 1] = 0xFF;
    header[kChecksumOffset] = header[kChecksumOffset + 1] = 0;
    const unsigned sum = rom_checksum(rom.data(), rom.size()) + (valid ? 0 : 1);
    const unsigned complement = sum ^ 0xFFFF;
    header[kChecksumComplementOffset] = complement & 0xFF;
    header[kChecksumComplementOffset + 1] = complement >> 8;
    header[kChecksumOffset] = sum & 0xFF;
    header[kChecksumOffset + 1] = (sum >> 8) & 0xFF;
    file.insert(file.end(), rom.begin(), rom.end());
    return file;
}

TEST(ImageId, CopierHeaderAndStoredChecksum) {
    for (bool valid : {true, false}) {
        const std::vector<unsigned char> file = headed_image(valid);
        const ImageIdentity id = identify_image(file.data(), file.size(), kCopierHeaderSize + 0x7FC0);
        EXPECT_EQ(id.copier_header, kCopierHeaderSize);
        EXPECT_EQ(id.file_size, static_cast<long long>(file.size()));
        EXPECT_EQ(id.checksum_valid, valid);
        EXPECT_EQ(id.stored_complement, id.stored_checksum ^ 0xFFFF);
        const std::vector<unsigned char> rom(file.begin() + kCopierHeaderSize, file.end());
        EXPECT_EQ(id.rom.crc32, crc32_of(rom.data(), rom.size()));
        EXPECT_EQ(id.file.crc32, crc32_of(file.data(), file.size()));
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
    ImageIdentity streamed;
    const bool read = identify_stream(stream, static_cast<long long>(file.size()), kCopierHeaderSize + 0x7FC0, &streamed);
    fclose(stream);
    ASSERT_TRUE(read);
    const ImageIdentity held = identify_image(file.data(), file.size(), kCopierHeaderSize + 0x7FC0);
    EXPECT_EQ(streamed.rom.sha1, held.rom.sha1);
    EXPECT_EQ(streamed.file.md5, held.file.md5);
    EXPECT_EQ(streamed.computed_checksum, held.computed_checksum);
    EXPECT_EQ(streamed.stored_checksum, held.stored_checksum);
    EXPECT_EQ(streamed.checksum_valid, held.checksum_valid);
}

}  // namespace
