// A synthetic ROM image under construction: the ROM proper, the internal
// cartridge header, and the copier header written in front of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

using DemoBytes = std::vector<uint8_t>;

class DemoImage {
public:
    explicit DemoImage(size_t rom_size);

    // Places bytes at a rom offset. Every byte of the ROM may be placed once
    // only: two tables that would overlap, or a table outside the ROM, are
    // thrown as the error (common::Error) that ends the generator.
    void put(long rom_offset, const DemoBytes& bytes);
    void put_byte(long rom_offset, unsigned value) { put(rom_offset, {static_cast<uint8_t>(value)}); }
    void put_le16(long rom_offset, unsigned value);

    // The internal cartridge header (title, map mode, ROM size, Japan) at
    // 0xFFC0 when the map mode's low nibble is non-zero (HiROM), else at
    // 0x7FC0 (LoROM), with the checksum of the whole ROM and its complement.
    // Call it after every table has been placed.
    void finish_header(const char* title, unsigned map_mode);

    // A later revision of the image: bytes written over whatever is placed
    // there, and the header's checksum and complement made right again.
    // Call it after finish_header (else, or outside the ROM, thrown as put's
    // error).
    void revise(long rom_offset, const DemoBytes& bytes);

    const DemoBytes& rom() const { return rom_; }
    // The image file: copier_size zero bytes, then the ROM proper.
    DemoBytes file_bytes(size_t copier_size) const;

private:
    void write_checksum();

    DemoBytes rom_;
    std::vector<bool> placed_;
    long checksum_at_ = -1;  // rom offset of the complement and checksum
};

// Writes the bytes to the file at path; ends the generator when it cannot.
void write_demo_file(const std::string& path, const DemoBytes& bytes);

}  // namespace demo
