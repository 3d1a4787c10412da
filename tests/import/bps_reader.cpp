#include "tests/import/bps_reader.h"

#include "common/image_id.h"

namespace {

struct Reader {
    const PatchBytes& data;
    size_t at = 0;
    bool failed = false;

    uint8_t byte() {
        if (at >= data.size()) {
            failed = true;
            return 0;
        }
        return data[at++];
    }
    uint64_t number() {
        uint64_t n = 0, shift = 1;
        for (int i = 0; i < 10; ++i) {
            const uint8_t b = byte();
            n += (b & 0x7F) * shift;
            if (b & 0x80) return n;
            shift <<= 7;
            n += shift;
        }
        failed = true;
        return 0;
    }
    uint32_t le32(size_t pos) const {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(data[pos + i]) << (8 * i);
        return v;
    }
};

PatchBytes fail(std::string* error, const char* why) {
    *error = why;
    return {};
}

}  // namespace

PatchBytes apply_bps(const PatchBytes& patch, const PatchBytes& source, std::string* error) {
    if (patch.size() < 16 || std::string(patch.begin(), patch.begin() + 4) != "BPS1") return fail(error, "no BPS1");
    Reader r{patch, 4};
    const size_t footer = patch.size() - 12;
    if (r.le32(footer + 8) != common::crc32_of(patch.data(), footer + 8)) return fail(error, "patch CRC32");
    if (r.le32(footer) != common::crc32_of(source.data(), source.size())) return fail(error, "source CRC32");
    if (r.number() != source.size()) return fail(error, "source size");
    PatchBytes target(r.number());
    r.at += r.number();  // metadata
    size_t out = 0, source_rel = 0, target_rel = 0;
    while (r.at < footer && !r.failed) {
        const uint64_t command = r.number();
        const size_t length = (command >> 2) + 1;
        if (out + length > target.size()) return fail(error, "action past the target");
        for (size_t i = 0; i < length; ++i, ++out) {
            switch (command & 3) {
                case 0: target[out] = out < source.size() ? source[out] : 0; break;
                case 1: target[out] = r.byte(); break;
                case 2: target[out] = source.at(source_rel++); break;
                default: target[out] = target.at(target_rel++); break;
            }
        }
        if ((command & 3) >= 2 && length) return fail(error, "copy actions are not written");
    }
    if (r.failed || r.at != footer || out != target.size()) return fail(error, "malformed actions");
    if (r.le32(footer + 4) != common::crc32_of(target.data(), target.size())) return fail(error, "target CRC32");
    return target;
}

PatchBytes apply_ips(const PatchBytes& patch, const PatchBytes& source, std::string* error) {
    if (patch.size() < 8 || std::string(patch.begin(), patch.begin() + 5) != "PATCH") return fail(error, "no PATCH");
    PatchBytes target = source;
    Reader r{patch, 5};
    for (;;) {
        const size_t offset = (r.byte() << 16) | (r.byte() << 8) | r.byte();
        if (r.failed) return fail(error, "no EOF");
        if (offset == 0x454F46) break;
        const size_t size = (r.byte() << 8) | r.byte();
        if (size == 0) return fail(error, "RLE records are not written");
        if (offset + size > target.size()) target.resize(offset + size);
        for (size_t i = 0; i < size; ++i) target[offset + i] = r.byte();
        if (r.failed) return fail(error, "cut record");
    }
    if (r.at != patch.size()) return fail(error, "bytes after EOF");
    return target;
}
