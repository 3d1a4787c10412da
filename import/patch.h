// Patches from an image to its edited copy of the same size: BPS (with the
// CRC32 of source, target and patch) and IPS, and the internal checksum set
// right in the edited copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace importer {

using Bytes = std::vector<uint8_t>;
using ByteView = std::span<const uint8_t>;

// A BPS patch that turns source into target: "BPS1", the two sizes, the
// metadata (a UTF-8 text, may be empty), unchanged runs as source reads and
// changed runs as target reads, then the CRC32 of source, target and of the
// patch before it (source_crc, when given, is the source's, known before).
Bytes bps_patch(ByteView source, ByteView target, const std::string& metadata = "",
                std::optional<uint32_t> source_crc = std::nullopt);

// The largest file an IPS patch can address (24-bit offsets).
constexpr size_t kIpsLimit = 0x1000000;

// An IPS patch ("PATCH", records of offset, size and bytes, "EOF") that turns
// source into target, both at most kIpsLimit bytes. A record never starts at
// offset 0x454F46, which readers would take for the end mark.
Bytes ips_patch(ByteView source, ByteView target);

// Sets the checksum and its complement of the cartridge header at header_pos
// (the title) of the image to the checksum of the ROM proper, which starts at
// rom_start.
void set_checksum(Bytes& image, size_t rom_start, size_t header_pos);

}  // namespace importer
