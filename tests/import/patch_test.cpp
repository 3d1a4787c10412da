#include "import/patch.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/image_id.h"
#include "tests/import/bps_reader.h"

using namespace importer;

namespace {

struct Edit {
    const char* what;
    size_t size;
    std::function<void(Bytes&)> change;
};

Bytes counting(size_t size) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return b;
}

// Both patches give the target back, for every shape of change.
TEST(PatchTest, BpsAndIpsTurnTheSourceIntoTheTarget) {
    const Edit edits[] = {
        {"no change", 4096, [](Bytes&) {}},
        {"first byte", 4096, [](Bytes& b) { b[0] ^= 1; }},
        {"last byte", 4096, [](Bytes& b) { b.back() ^= 0x80; }},
        {"scattered", 4096, [](Bytes& b) { for (size_t i = 3; i < b.size(); i += 97) b[i] += 1; }},
        {"a long run", 0x30000, [](Bytes& b) { for (size_t i = 5; i < 0x25000; ++i) b[i] ^= 0x5A; }},
        {"at the IPS end mark", 0x460000, [](Bytes& b) { b[0x454F46] ^= 1; b[0x454F47] ^= 1; }},
    };
    for (const Edit& e : edits) {
        const Bytes source = counting(e.size);
        Bytes target = source;
        e.change(target);
        std::string error;
        EXPECT_EQ(apply_bps(bps_patch(source, target), source, &error), target) << e.what << ": " << error;
        EXPECT_EQ(apply_ips(ips_patch(source, target), source, &error), target) << e.what << ": " << error;
    }
}

TEST(PatchTest, UnchangedImageGivesTheSmallestPatches) {
    const Bytes source = counting(0x400000);
    EXPECT_EQ(ips_patch(source, source), (Bytes{'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F'}));
    // "BPS1", two sizes of 4 bytes, no metadata, one source read of it all
    // (4 bytes), three CRC32s.
    EXPECT_EQ(bps_patch(source, source).size(), 4u + 4 + 4 + 1 + 4 + 12);
    std::string error;
    Bytes other = source;
    other[9] = 0;
    EXPECT_TRUE(apply_bps(bps_patch(source, source), other, &error).empty());  // another source
    EXPECT_EQ(error, "source CRC32");
}

TEST(PatchTest, ChecksumAndComplementAreSetFromTheRomProper) {
    constexpr size_t kCopier = 512, kHeader = kCopier + 0xFFC0;
    Bytes image = counting(kCopier + 0x40000);
    set_checksum(image, kCopier, kHeader);
    const common::ImageIdentity id = common::identify_image(image.data(), image.size(), kHeader);
    EXPECT_TRUE(id.checksum_valid);
    EXPECT_EQ(id.stored_checksum, id.computed_checksum);
    const Bytes before = image;
    set_checksum(image, kCopier, kHeader);  // already right: nothing changes
    EXPECT_EQ(image, before);
}

}  // namespace
