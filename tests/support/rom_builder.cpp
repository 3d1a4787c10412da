#include "tests/support/rom_builder.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

RomBuilder::RomBuilder(size_t rom_size) : rom_(rom_size, 0) {}

RomBuilder& RomBuilder::put(long rom_offset, std::initializer_list<uint8_t> bytes) {
    return put(rom_offset, Bytes(bytes));
}

RomBuilder& RomBuilder::put(long rom_offset, const Bytes& bytes) {
    if (rom_offset < 0 || static_cast<size_t>(rom_offset) + bytes.size() > rom_.size())
        throw std::out_of_range("RomBuilder::put outside the ROM");
    std::copy(bytes.begin(), bytes.end(), rom_.begin() + rom_offset);
    return *this;
}

RomBuilder& RomBuilder::fill(long rom_offset, size_t count, uint8_t value) {
    return put(rom_offset, Bytes(count, value));
}

RomBuilder& RomBuilder::header(const std::string& title, uint8_t map_mode) {
    const long offset = (map_mode & 0x0F) ? 0xFFC0 : 0x7FC0;
    Bytes h(title.begin(), title.end());
    h.resize(21, ' ');
    h.push_back(map_mode);
    return put(offset, h);
}

RomBuilder& RomBuilder::copier(size_t count, uint8_t value) {
    copier_ = count;
    copier_value_ = value;
    return *this;
}

Bytes RomBuilder::image() const {
    Bytes out(copier_, copier_value_);
    out.insert(out.end(), rom_.begin(), rom_.end());
    return out;
}

void RomBuilder::write(const std::string& path) const { write_truncated(path, size()); }

void RomBuilder::write_truncated(const std::string& path, size_t length) const {
    const Bytes all = image();
    // A UTF-8 path, also on Windows.
    std::ofstream f(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(all.data()), static_cast<std::streamsize>(std::min(length, all.size())));
    if (!f) throw std::runtime_error("cannot write " + path);
}

Bytes game_text(std::initializer_list<uint8_t> codes, size_t field_length) {
    Bytes b(codes);
    b.resize(field_length, 0x50);
    return b;
}
