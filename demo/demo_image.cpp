#include "demo/demo_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/diag.h"
#include "common/error.h"

namespace demo {

namespace {

// A table the generator puts where it cannot go is the generator's own
// fault: it ends the generator with this error, naming the ROM offset.
[[noreturn]] void misplaced(const char* text, long rom_offset) {
    char offset[32];
    snprintf(offset, sizeof offset, "0x%06lX", rom_offset);
    throw common::Error(std::string(text) + offset);
}

constexpr long kLoRomHeader = 0x7FC0;
constexpr long kHiRomHeader = 0xFFC0;
constexpr size_t kTitleLength = 21;

// Header bytes after the title and the map mode.
constexpr int kCartridgeType = 0x02;  // ROM and battery-backed SRAM
constexpr int kSramSize = 0x03;       // 8 KiB
constexpr int kCountryJapan = 0x00;
constexpr int kLicensee = 0x00;
constexpr int kVersion = 0x00;

// The header's ROM-size byte: log2 of the size in KiB.
unsigned rom_size_code(size_t rom_size) {
    unsigned code = 0;
    while ((size_t{1024} << code) < rom_size) ++code;
    return code;
}

unsigned checksum(const DemoBytes& rom) {
    unsigned sum = 0;
    for (uint8_t b : rom) sum += b;
    return sum & 0xFFFF;
}

}  // namespace

DemoImage::DemoImage(size_t rom_size) : rom_(rom_size, 0), placed_(rom_size, false) {}

void DemoImage::put(long rom_offset, const DemoBytes& bytes) {
    const size_t start = static_cast<size_t>(rom_offset);
    if (rom_offset < 0 || start + bytes.size() > rom_.size())
        misplaced("Demo table outside the ROM at ", rom_offset);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (placed_[start + i]) misplaced("Demo tables overlap at rom offset ", static_cast<long>(start + i));
        placed_[start + i] = true;
        rom_[start + i] = bytes[i];
    }
}

void DemoImage::put_le16(long rom_offset, unsigned value) {
    put(rom_offset, {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF)});
}

void DemoImage::finish_header(const char* title, unsigned map_mode) {
    const long at = (map_mode & 0x0F) ? kHiRomHeader : kLoRomHeader;
    DemoBytes header(title, title + std::strlen(title));
    header.resize(kTitleLength, ' ');
    const int fields[] = {static_cast<int>(map_mode), kCartridgeType, static_cast<int>(rom_size_code(rom_.size())),
                          kSramSize, kCountryJapan, kLicensee, kVersion};
    for (int f : fields) header.push_back(static_cast<uint8_t>(f));
    // Complement 0xFFFF and checksum 0 add up to the same byte sum as any
    // final pair, so the checksum is taken with them in place.
    header.insert(header.end(), {0xFF, 0xFF, 0x00, 0x00});
    put(at, header);
    checksum_at_ = at + static_cast<long>(header.size()) - 4;
    write_checksum();
}

void DemoImage::write_checksum() {
    uint8_t* pair = rom_.data() + checksum_at_;
    std::memcpy(pair, "\xFF\xFF\x00\x00", 4);
    const unsigned sum = checksum(rom_);
    pair[0] = static_cast<uint8_t>(~sum & 0xFF);
    pair[1] = static_cast<uint8_t>((~sum >> 8) & 0xFF);
    pair[2] = static_cast<uint8_t>(sum & 0xFF);
    pair[3] = static_cast<uint8_t>(sum >> 8);
}

void DemoImage::revise(long rom_offset, const DemoBytes& bytes) {
    if (rom_offset < 0 || static_cast<size_t>(rom_offset) + bytes.size() > rom_.size() || checksum_at_ < 0)
        misplaced("Demo revision outside the ROM at ", rom_offset);
    std::copy(bytes.begin(), bytes.end(), rom_.begin() + rom_offset);
    write_checksum();
}

DemoBytes DemoImage::file_bytes(size_t copier_size) const {
    DemoBytes out(copier_size, 0);
    out.insert(out.end(), rom_.begin(), rom_.end());
    return out;
}

void write_demo_file(const std::string& path, const DemoBytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) common::fatal("Cannot create file - %s:", path.c_str());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) common::fatal("Cannot write file - %s:", path.c_str());
}

}  // namespace demo
