// The patch formats of the ROM-hacking field, applied in memory: IPS
// ("PATCH" ... "EOF", with run-length records and the optional truncation
// size after "EOF"), UPS ("UPS1") and BPS ("BPS1"), recognised by their first
// bytes. UPS and BPS name the CRC32 of the image they are for, of the image
// they make and of themselves; all three are checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/error.h"

namespace compare {

using ByteSpan = std::span<const unsigned char>;
using ByteVector = std::vector<unsigned char>;

enum class PatchFormat { kNone, kIps, kUps, kBps };

// The format that the first bytes of a file announce (kNone: not a patch).
PatchFormat patch_format(ByteSpan file);
const char* patch_format_name(PatchFormat format);  // "IPS", "UPS", "BPS"

// No patch makes an image larger than this.
constexpr size_t kMaxPatchTarget = size_t{64} << 20;

// An image as a patch may be meant for: the file as given, whose first
// copier_header bytes are a copier header (0 for none).
struct PatchBase {
    ByteSpan file;
    size_t copier_header = 0;
    // The cartridge header (its title) in the ROM proper, -1 when not known:
    // where an IPS patch for the other copy would write the internal checksum.
    long long header_pos = -1;
    ByteSpan rom() const { return file.subspan(copier_header); }
};

struct PatchedImage {
    ByteVector image;
    // The patch was applied to the image without its copier header (so the
    // result has none).
    bool without_copier_header = false;
    std::string metadata;  // a BPS patch's metadata, as it holds it
};

// Applies the patch to the base. UPS and BPS choose the file as given or the
// image without its copier header by their source CRC32; IPS, which carries
// none, is applied to the file as given unless ips_without_copier_header.
// An IPS patch that shows it was made for the other copy (headered against
// headerless) is refused: a record inside the copier header, a patched image
// at most 512 bytes longer than the image (records past its end that the
// other copy would hold), or a valid internal checksum left invalid while
// checksum-sized records are written 512 bytes away from it. A run-length
// record of length 0 is damage.
// An error, its one line the reason in plain words, when the patch is not
// for this image, is damaged, or would make an image larger than
// kMaxPatchTarget.
common::Result<PatchedImage> apply_patch(ByteSpan patch, const PatchBase& base, bool ips_without_copier_header);

}  // namespace compare
