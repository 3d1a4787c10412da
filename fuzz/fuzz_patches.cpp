// Fuzz target: the IPS, UPS and BPS readers on arbitrary patches, applied to
// a small fixed image with a copier header.
//
// The first byte picks the format (bits 0-1: as given, IPS, UPS, BPS) and
// whether an IPS patch is for the image without its copier header (bit 2);
// the rest is the patch body after its magic. A UPS or BPS body gets a valid
// footer (the image's CRC32 as the source's, the patch's own CRC32) when
// bit 3 is set, so that the checksums let most inputs reach the records.
// Besides memory faults, the target checks that a patch that is applied
// gives an image no larger than the limit, and for UPS and BPS one whose
// CRC32 the patch names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/image_id.h"
#include "compare/patch.h"

namespace {

void check(bool ok) {
    if (!ok) abort();
}

void put32(compare::ByteVector& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

const compare::ByteVector& base_image() {
    static const compare::ByteVector image = [] {
        compare::ByteVector b(common::kCopierHeaderSize + 4096);
        for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<unsigned char>(i * 7 + (i >> 8));
        return b;
    }();
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kMagic[4] = {"", "PATCH", "UPS1", "BPS1"};
    const unsigned mode = data[0];
    const char* magic = kMagic[mode & 3];
    compare::ByteVector patch(magic, magic + strlen(magic));
    patch.insert(patch.end(), data + 1, data + size);
    const compare::ByteVector& image = base_image();
    const compare::PatchBase base{image, common::kCopierHeaderSize};
    const bool checksummed = (mode & 3) >= 2;
    if (checksummed && (mode & 8) && patch.size() >= 16) {
        patch.resize(patch.size() - 12);
        put32(patch, common::crc32_of(image.data(), image.size()));
        put32(patch, static_cast<uint32_t>(size));  // rarely right: the target check is explored too
        put32(patch, common::crc32_of(patch.data(), patch.size()));
    }
    const common::Result<compare::PatchedImage> result = compare::apply_patch(patch, base, mode & 4);
    if (!result) return 0;
    check(result->image.size() <= compare::kMaxPatchTarget);
    if (checksummed) {
        const uint32_t target = static_cast<uint32_t>(patch[patch.size() - 8]) |
                                static_cast<uint32_t>(patch[patch.size() - 7]) << 8 |
                                static_cast<uint32_t>(patch[patch.size() - 6]) << 16 |
                                static_cast<uint32_t>(patch[patch.size() - 5]) << 24;
        check(common::crc32_of(result->image.data(), result->image.size()) == target);
    }
    return 0;
}
