#include "import/patch.h"

#include <algorithm>
#include <cstring>

#include "common/image_id.h"

namespace importer {

namespace {

// BPS numbers: seven bits a byte, the last one marked by bit 7, each byte
// after the first counting from the end of the shorter forms.
void put_number(Bytes& out, uint64_t n) {
    for (;;) {
        const uint8_t low = n & 0x7F;
        n >>= 7;
        if (n == 0) {
            out.push_back(0x80 | low);
            return;
        }
        out.push_back(low);
        --n;
    }
}

void put_le32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void put_be(Bytes& out, size_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The end of the run from at in which source and target agree (same true) or
// differ (same false).
// Unchanged runs are most of an edited image: they are passed over a block
// at a time.
size_t run_end(ByteView source, ByteView target, size_t at, bool same) {
    if (same) {
        constexpr size_t kBlock = 256;
        const size_t end = std::min(source.size(), target.size());
        while (at + kBlock <= end && std::memcmp(source.data() + at, target.data() + at, kBlock) == 0) at += kBlock;
        while (at < end && source[at] == target[at]) ++at;
        return at;
    }
    while (at < target.size() && !(at < source.size() && source[at] == target[at])) ++at;
    return at;
}

enum BpsAction { kSourceRead = 0, kTargetRead = 1 };

}  // namespace

Bytes bps_patch(ByteView source, ByteView target, const std::string& metadata, std::optional<uint32_t> source_crc) {
    Bytes out = {'B', 'P', 'S', '1'};
    put_number(out, source.size());
    put_number(out, target.size());
    put_number(out, metadata.size());
    out.insert(out.end(), metadata.begin(), metadata.end());
    for (size_t at = 0; at < target.size();) {
        const bool same = at < source.size() && source[at] == target[at];
        const size_t end = run_end(source, target, at, same);
        put_number(out, ((end - at - 1) << 2) | (same ? kSourceRead : kTargetRead));
        if (!same) out.insert(out.end(), target.begin() + static_cast<long>(at), target.begin() + static_cast<long>(end));
        at = end;
    }
    put_le32(out, source_crc ? *source_crc : common::crc32_of(source.data(), source.size()));
    put_le32(out, common::crc32_of(target.data(), target.size()));
    put_le32(out, common::crc32_of(out.data(), out.size()));
    return out;
}

Bytes ips_patch(ByteView source, ByteView target) {
    constexpr size_t kEofMark = 0x454F46;
    constexpr size_t kMaxRecord = 0xFFFF;
    Bytes out = {'P', 'A', 'T', 'C', 'H'};
    for (size_t at = run_end(source, target, 0, true); at < target.size(); at = run_end(source, target, at, true)) {
        const size_t start = at == kEofMark ? at - 1 : at;  // one unchanged byte more instead
        size_t end = run_end(source, target, at, false);
        if (end - start > kMaxRecord) end = start + kMaxRecord;
        put_be(out, start, 3);
        put_be(out, end - start, 2);
        out.insert(out.end(), target.begin() + static_cast<long>(start), target.begin() + static_cast<long>(end));
        at = end;
    }
    out.insert(out.end(), {'E', 'O', 'F'});
    return out;
}

void set_checksum(Bytes& image, size_t rom_start, size_t header_pos) {
    uint8_t* header = image.data() + header_pos;
    // The console sums the header with checksum and complement adding up to
    // 0x1FE, whatever they hold: set them so first.
    header[common::kChecksumComplementOffset] = 0xFF;
    header[common::kChecksumComplementOffset + 1] = 0xFF;
    header[common::kChecksumOffset] = 0;
    header[common::kChecksumOffset + 1] = 0;
    const unsigned sum = common::rom_checksum(image.data() + rom_start, image.size() - rom_start);
    const unsigned complement = sum ^ 0xFFFF;
    header[common::kChecksumComplementOffset] = complement & 0xFF;
    header[common::kChecksumComplementOffset + 1] = complement >> 8;
    header[common::kChecksumOffset] = sum & 0xFF;
    header[common::kChecksumOffset + 1] = sum >> 8;
}

}  // namespace importer
