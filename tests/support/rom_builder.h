// Synthetic ROM images for the tests: chosen bytes at chosen rom offsets, a
// LoROM or HiROM cartridge header, and any number of leading copier bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

class RomBuilder {
public:
    // A ROM proper of rom_size zero bytes.
    explicit RomBuilder(size_t rom_size);

    RomBuilder& put(long rom_offset, std::initializer_list<uint8_t> bytes);
    RomBuilder& put(long rom_offset, const Bytes& bytes);
    RomBuilder& fill(long rom_offset, size_t count, uint8_t value);

    // The cartridge header: title (21 bytes, blank-padded) and map-mode byte at
    // rom offset 0xFFC0 when the map mode's low nibble is non-zero (HiROM),
    // else at 0x7FC0 (LoROM); the ten bytes after it are left as they are.
    RomBuilder& header(const std::string& title, uint8_t map_mode);

    // Leading bytes before the ROM proper (a copier header).
    RomBuilder& copier(size_t count, uint8_t value = 0);

    uint8_t& at(long rom_offset) { return rom_.at(static_cast<size_t>(rom_offset)); }
    size_t size() const { return copier_ + rom_.size(); }

    Bytes image() const;
    void write(const std::string& path) const;
    // The image cut to its first length bytes.
    void write_truncated(const std::string& path, size_t length) const;

private:
    size_t copier_ = 0;
    uint8_t copier_value_ = 0;
    Bytes rom_;
};

// A fixed-length game-text field: the codes, then blank codes (0x50) up to
// field_length bytes.
Bytes game_text(std::initializer_list<uint8_t> codes, size_t field_length);
