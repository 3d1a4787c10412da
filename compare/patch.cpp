#include "compare/patch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/image_id.h"

namespace compare {

namespace {

constexpr size_t kFooterSize = 12;  // UPS and BPS: source, target and patch CRC32
constexpr size_t kHeaderSize = common::kCopierHeaderSize;

std::string hex_offset(size_t offset) {
    char text[32];
    snprintf(text, sizeof text, "0x%06zX", offset);
    return text;
}

common::Error damaged(const std::string& why) { return common::Error("patch is damaged: " + why); }

// Reads a patch from front to back; running past the end of its body is
// damage, never a read outside it. The first damage ends the reading: done()
// holds from then on, every read gives nothing (no bytes, zeros) and the
// caller asks damage() for the reason.
class PatchReader {
public:
    PatchReader(ByteSpan patch, size_t start, size_t end) : patch_(patch), pos_(start), end_(end) {}

    bool done() const { return failed() || pos_ >= end_; }
    size_t left() const { return end_ - pos_; }
    bool failed() const { return !why_.empty(); }
    common::Error damage() const { return damaged(why_); }

    ByteSpan bytes(size_t count) {
        if (failed()) return {};
        if (count > left()) return fail("it ends in the middle of a record");
        const ByteSpan s = patch_.subspan(pos_, count);
        pos_ += count;
        return s;
    }
    unsigned byte() {
        const ByteSpan s = bytes(1);
        return s.empty() ? 0 : s[0];
    }

    // A big-endian number of count bytes (IPS).
    size_t big_endian(size_t count) {
        size_t n = 0;
        for (unsigned char b : bytes(count)) n = n << 8 | b;
        return n;
    }

    // A UPS/BPS number: seven bits a byte, least significant first, the last
    // byte marked by its high bit, each longer form counting on from the
    // largest shorter one.
    uint64_t number() {
        uint64_t value = 0;
        for (uint64_t shift = 1;; shift <<= 7) {
            const unsigned x = byte();
            if (failed()) return 0;
            value += (x & 0x7F) * shift;
            if (x & 0x80) return value;
            if (shift >> 56) {
                fail("a number does not fit in 64 bits");
                return 0;
            }
            value += shift << 7;
        }
    }

    // Ends the reading with the damage why (the first one stays).
    ByteSpan fail(const std::string& why) {
        if (!failed()) why_ = why;
        return {};
    }

private:
    ByteSpan patch_;
    size_t pos_;
    size_t end_;
    std::string why_;  // the damage found, empty while there is none
};

uint32_t little_endian32(ByteSpan s) {
    return uint32_t{s[0]} | uint32_t{s[1]} << 8 | uint32_t{s[2]} << 16 | uint32_t{s[3]} << 24;
}

uint32_t crc_of(ByteSpan s) { return common::crc32_of(s.data(), s.size()); }

struct Footer {
    uint32_t source;
    uint32_t target;
};

// The footer of a UPS or BPS patch, after its own CRC32 is checked.
common::Result<Footer> check_footer(ByteSpan patch, size_t magic) {
    if (patch.size() < magic + kFooterSize) return damaged("it ends before its checksums");
    const ByteSpan footer = patch.last(kFooterSize);
    const uint32_t stated = little_endian32(footer.subspan(8));
    const uint32_t actual = crc_of(patch.first(patch.size() - 4));
    if (stated != actual) {
        return damaged("its CRC32 should be " + common::crc32_hex(stated) + ", its bytes have " + common::crc32_hex(actual));
    }
    return Footer{little_endian32(footer), little_endian32(footer.subspan(4))};
}

// The base that a patch with this source CRC32 is for: the file as given
// (false) or the image without its copier header (true).
common::Result<bool> choose_source(const PatchBase& base, uint32_t source_crc) {
    const uint32_t file = crc_of(base.file);
    if (file == source_crc) return false;
    const uint32_t rom = base.copier_header ? crc_of(base.rom()) : file;
    if (rom == source_crc) return true;
    return common::Error("patch is for another image: it expects CRC32 " + common::crc32_hex(source_crc) +
                         ", this image has " + common::crc32_hex(rom));
}

// The start of a UPS or BPS patch: the size of the image it is for, which
// must be the source's, and the size of the image it makes, which is made
// (zeros).
common::Status start_target(PatchReader& in, size_t source_size, ByteVector& target) {
    const uint64_t stated = in.number();
    if (in.failed()) return in.damage();
    if (stated != source_size) {
        return damaged("it is for an image of " + std::to_string(stated) + " bytes, this one has " +
                       std::to_string(source_size));
    }
    const uint64_t size = in.number();
    if (in.failed()) return in.damage();
    if (size > kMaxPatchTarget) {
        return common::Error("patch would make an image of " + std::to_string(size) + " bytes, more than 64 MiB");
    }
    target = ByteVector(static_cast<size_t>(size));
    return common::success();
}

common::Status check_target(const ByteVector& target, uint32_t expected) {
    const uint32_t actual = common::crc32_of(target.data(), target.size());
    if (actual != expected) {
        return damaged("the patched image has CRC32 " + common::crc32_hex(actual) + ", the patch expects " +
                       common::crc32_hex(expected));
    }
    return common::success();
}

// Room for count bytes at pos in a buffer of size bytes.
bool fits(uint64_t pos, uint64_t count, size_t size) { return pos <= size && count <= size - pos; }

struct IpsRecord {
    size_t offset;
    size_t count;
};

// One IPS record after its offset: its bytes or its run written into the
// target, which grows to hold them.
common::Result<IpsRecord> apply_ips_record(PatchReader& in, size_t offset, ByteVector& target) {
    const size_t size = in.big_endian(2);
    const size_t count = size ? size : in.big_endian(2);
    if (in.failed()) return in.damage();
    if (count == 0) return damaged("a run-length record at " + hex_offset(offset) + " has length 0");
    const unsigned fill = size ? 0 : in.byte();
    const ByteSpan data = in.bytes(size);
    if (in.failed()) return in.damage();
    if (target.size() < offset + count) target.resize(offset + count);
    if (size) {
        std::copy(data.begin(), data.end(), target.begin() + static_cast<long>(offset));
    } else {
        std::fill_n(target.begin() + static_cast<long>(offset), count, static_cast<unsigned char>(fill));
    }
    return IpsRecord{offset, count};
}

// Applies the records and returns them in patch order.
common::Result<std::vector<IpsRecord>> apply_ips(ByteSpan patch, ByteSpan source, ByteVector& target) {
    target.assign(source.begin(), source.end());
    std::vector<IpsRecord> records;
    PatchReader in(patch, 5, patch.size());
    for (;;) {
        if (in.left() < 3) return damaged("it ends before its EOF marker");
        const size_t offset = in.big_endian(3);
        if (offset == 0x454F46) break;  // "EOF"
        common::Result<IpsRecord> record = apply_ips_record(in, offset, target);
        if (!record) return record.error();
        records.push_back(*record);
    }
    if (in.done()) return records;
    if (in.left() != 3) return damaged(std::to_string(in.left()) + " bytes follow its EOF marker");
    const size_t truncate = in.big_endian(3);
    if (truncate > target.size()) return damaged("its truncation size is beyond the patched image");
    target.resize(truncate);
    return records;
}

// Whether the internal checksum of the cartridge header at header (in an
// image whose ROM proper starts at rom_start) is valid.
bool checksum_valid(ByteSpan image, size_t rom_start, size_t header) {
    if (header + common::kChecksumOffset + 2 > image.size() || rom_start > header) return false;
    const unsigned complement = image[header + common::kChecksumComplementOffset] | image[header + common::kChecksumComplementOffset + 1] << 8;
    const unsigned stored = image[header + common::kChecksumOffset] | image[header + common::kChecksumOffset + 1] << 8;
    return complement == (stored ^ 0xFFFF) && stored == common::rom_checksum(image.data() + rom_start, image.size() - rom_start);
}

// An IPS patch applied to one copy that shows it was made for the other:
// the error names the sign. with_header: the copy it was applied to carries
// the copier header (header bytes long).
common::Status check_ips_copy(const std::vector<IpsRecord>& records, ByteSpan source, const ByteVector& target,
                              bool with_header, size_t header, long long header_pos) {
    const std::string other = with_header ? "patch is for the image without its copier header: "
                                          : "patch is for the image with a copier header: ";
    for (const IpsRecord& r : records) {
        if (with_header && r.offset < header) {
            return common::Error(other + "a record writes inside the copier header, at " + hex_offset(r.offset) +
                                 " (-r applies it to the image without its copier header)");
        }
    }
    if (!with_header && target.size() > source.size() && target.size() <= source.size() + kHeaderSize) {
        return common::Error(other + "its records end " + std::to_string(target.size() - source.size()) +
                             " bytes past the end of the image");
    }
    if (header_pos < 0) return common::success();
    const size_t rom_start = with_header ? header : 0;
    const size_t checksum = rom_start + static_cast<size_t>(header_pos) + common::kChecksumComplementOffset;
    const size_t away = with_header ? checksum - kHeaderSize : checksum + kHeaderSize;
    if (with_header && checksum < kHeaderSize) return common::success();
    const bool near = std::any_of(records.begin(), records.end(), [away](const IpsRecord& r) {
        return r.count <= 4 && r.offset < away + 4 && r.offset + r.count > away;
    });
    const size_t title = rom_start + static_cast<size_t>(header_pos);
    if (near && checksum_valid(source, rom_start, title) && !checksum_valid(target, rom_start, title)) {
        return common::Error(other + "it leaves the valid internal checksum invalid and writes checksum-sized records " +
                             std::to_string(kHeaderSize) + " bytes " + (with_header ? "before" : "after") + " it, at " +
                             hex_offset(away));
    }
    return common::success();
}

// One UPS record from pos on: the bytes skipped, then the bytes changed up
// to the terminating zero, which stands for an unchanged byte. Returns where
// the next record starts.
common::Result<uint64_t> apply_ups_record(PatchReader& in, uint64_t pos, ByteVector& target) {
    const uint64_t skip = in.number();
    if (in.failed()) return in.damage();
    if (pos > target.size() || skip > target.size() - pos) return damaged("a record writes past the end of the patched image");
    pos += skip;
    for (unsigned x = in.byte(); x != 0; x = in.byte(), ++pos) {
        if (pos >= target.size()) return damaged("a record writes past the end of the patched image");
        target[static_cast<size_t>(pos)] ^= static_cast<unsigned char>(x);
    }
    if (in.failed()) return in.damage();
    return pos + 1;
}

common::Status apply_ups(ByteSpan patch, ByteSpan source, ByteVector& target, uint32_t target_crc) {
    PatchReader in(patch, 4, patch.size() - kFooterSize);
    if (common::Status started = start_target(in, source.size(), target); !started) return started;
    std::copy_n(source.begin(), std::min(source.size(), target.size()), target.begin());
    for (uint64_t pos = 0; !in.done();) {
        const common::Result<uint64_t> next = apply_ups_record(in, pos, target);
        if (!next) return next.error();
        pos = *next;
    }
    return check_target(target, target_crc);
}

// Copies length bytes to target[out] from buffer[*from], *from moved first
// by a signed offset (bit 0 its sign) and then past the bytes copied. From
// the source every byte must lie inside it (size bytes); from the target
// (size: out) the copy may overlap what it writes, each byte read after it
// is written, so it must start before out.
common::Status relative_copy(PatchReader& in, const unsigned char* buffer, size_t size, bool from_target, int64_t* from,
                             ByteVector& target, size_t out, size_t length) {
    const uint64_t data = in.number();
    if (in.failed()) return in.damage();
    if ((data >> 1) > kMaxPatchTarget) return damaged("a copy reads outside the image");
    const int64_t offset = static_cast<int64_t>(data >> 1);
    *from += data & 1 ? -offset : offset;
    const bool inside = *from >= 0 && (from_target ? static_cast<uint64_t>(*from) < out
                                                   : fits(static_cast<uint64_t>(*from), length, size));
    if (!inside) return damaged("a copy reads outside the image");
    for (size_t i = 0; i < length; ++i) target[out + i] = buffer[static_cast<size_t>(*from) + i];
    *from += static_cast<int64_t>(length);
    return common::success();
}

// Where a BPS patch's records copy from: the source, and the places of its
// two relative copies.
struct BpsCopies {
    ByteSpan source;
    int64_t source_from = 0;
    int64_t target_from = 0;
};

// One BPS record at out; returns its length.
common::Result<size_t> apply_bps_record(PatchReader& in, BpsCopies& copies, ByteVector& target, size_t out) {
    const uint64_t data = in.number();
    if (in.failed()) return in.damage();
    const uint64_t length = (data >> 2) + 1;
    if (!fits(out, length, target.size())) return damaged("a record writes past the end of the patched image");
    const size_t n = static_cast<size_t>(length);
    const ByteSpan source = copies.source;
    common::Status copied = common::success();
    switch (data & 3) {
        case 0:  // the source's own bytes at the same place
            if (!fits(out, n, source.size())) return damaged("a copy reads outside the image");
            std::copy_n(source.begin() + static_cast<long>(out), n, target.begin() + static_cast<long>(out));
            break;
        case 1: {  // bytes from the patch
            const ByteSpan bytes = in.bytes(n);
            if (in.failed()) return in.damage();
            std::copy(bytes.begin(), bytes.end(), target.begin() + static_cast<long>(out));
            break;
        }
        case 2:
            copied = relative_copy(in, source.data(), source.size(), false, &copies.source_from, target, out, n);
            break;
        default:  // the target's bytes already written
            copied = relative_copy(in, target.data(), out, true, &copies.target_from, target, out, n);
            break;
    }
    if (!copied) return copied.error();
    return n;
}

common::Status apply_bps(ByteSpan patch, ByteSpan source, ByteVector& target, uint32_t target_crc) {
    PatchReader in(patch, 4, patch.size() - kFooterSize);
    if (common::Status started = start_target(in, source.size(), target); !started) return started;
    const uint64_t metadata = in.number();
    if (in.failed()) return in.damage();
    if (metadata > in.left()) return damaged("its metadata runs past its end");
    in.bytes(static_cast<size_t>(metadata));
    size_t out = 0;
    BpsCopies copies{source};
    while (!in.done()) {
        const common::Result<size_t> written = apply_bps_record(in, copies, target, out);
        if (!written) return written.error();
        out += *written;
    }
    if (out != target.size()) {
        return damaged("it makes " + std::to_string(out) + " of the " + std::to_string(target.size()) +
                       " bytes it announces");
    }
    return check_target(target, target_crc);
}

}  // namespace

PatchFormat patch_format(ByteSpan file) {
    auto starts = [file](const char* magic) {
        const size_t n = strlen(magic);
        return file.size() >= n && memcmp(file.data(), magic, n) == 0;
    };
    if (starts("PATCH")) return PatchFormat::kIps;
    if (starts("UPS1")) return PatchFormat::kUps;
    if (starts("BPS1")) return PatchFormat::kBps;
    return PatchFormat::kNone;
}

const char* patch_format_name(PatchFormat format) {
    switch (format) {
        case PatchFormat::kIps:
            return "IPS";
        case PatchFormat::kUps:
            return "UPS";
        case PatchFormat::kBps:
            return "BPS";
        case PatchFormat::kNone:
            break;
    }
    return "";
}

namespace {

// The metadata of a BPS patch that applied (after its three numbers), as it
// holds it.
std::string bps_metadata(ByteSpan patch) {
    PatchReader in(patch, 4, patch.size() - kFooterSize);
    in.number();
    in.number();
    const ByteSpan text = in.bytes(static_cast<size_t>(in.number()));
    return std::string(text.begin(), text.end());
}

common::Result<PatchedImage> apply_ips_patch(ByteSpan patch, const PatchBase& base, bool ips_without_copier_header) {
    PatchedImage result;
    result.without_copier_header = ips_without_copier_header && base.copier_header;
    const ByteSpan source = result.without_copier_header ? base.rom() : base.file;
    const common::Result<std::vector<IpsRecord>> records = apply_ips(patch, source, result.image);
    if (!records) return records.error();
    const bool with_header = base.copier_header && !result.without_copier_header;
    const common::Status copy = check_ips_copy(*records, source, result.image, with_header, base.copier_header, base.header_pos);
    if (!copy) return copy.error();
    return result;
}

}  // namespace

common::Result<PatchedImage> apply_patch(ByteSpan patch, const PatchBase& base, bool ips_without_copier_header) {
    const PatchFormat format = patch_format(patch);
    if (format == PatchFormat::kIps) return apply_ips_patch(patch, base, ips_without_copier_header);
    if (format == PatchFormat::kNone) return common::Error("not a patch");
    const common::Result<Footer> footer = check_footer(patch, 4);
    if (!footer) return footer.error();
    const common::Result<bool> without_header = choose_source(base, footer->source);
    if (!without_header) return without_header.error();
    PatchedImage result;
    result.without_copier_header = *without_header;
    const ByteSpan source = result.without_copier_header ? base.rom() : base.file;
    const common::Status applied = format == PatchFormat::kUps ? apply_ups(patch, source, result.image, footer->target)
                                                               : apply_bps(patch, source, result.image, footer->target);
    if (!applied) return applied.error();
    if (format == PatchFormat::kBps) result.metadata = bps_metadata(patch);
    return result;
}

}  // namespace compare
