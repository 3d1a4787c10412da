// The ROM image of one run.
//
// The image may carry any number of leading bytes (a copier header) before the
// ROM proper. The internal cartridge header is found by its title; the
// map-mode byte after the title tells LoROM (header at rom offset 0x7FC0) from
// HiROM (0xFFC0), which fixes the image base: the file position of rom offset 0.
// Only the part of the image that the tables lie in (rom offsets 0 up to the
// end of the highest table, or up to the end of the file where it ends
// sooner) is kept, and every loader and name lookup reads from it. A shell
// maps that part of a regular file read-only into memory (else reads it in
// one piece), so that only the pages the loaders look at are brought in.
//
// The image's bytes come from memory (attach); a tool's shell opens a file
// (open, in rom_file.cpp) and keeps it open for the same-file guard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "common/error.h"
#include "common/layout.h"

namespace common {

constexpr int kTitleLength = 21;
constexpr int kCartridgeHeaderSize = 32;
constexpr long kLoRomHeaderOffset = 0x7FC0;
constexpr long kHiRomHeaderOffset = 0xFFC0;

// What the title search found: whether the title is there and, if so,
// whether its map-mode byte says HiROM (else LoROM).
struct RomHeaderInfo {
    bool title_found;
    bool hirom;
};

class RomImage {
public:
    RomImage() = default;
    RomImage(const RomImage&) = delete;
    RomImage& operator=(const RomImage&) = delete;

    // Opens the file, searches the title and reads rom offsets 0..span-1 (as
    // far as the file holds them). A null or empty path or title or a file
    // that cannot be opened gives "Invalid ROM-Image file - <path>"; a failed
    // seek or read gives "Fatal error in fseek():" or "Fatal error in
    // fread():" with the system's message. Defined with the tools' shells
    // (rom_file.cpp): the core never opens a file.
    common::Status open(const char* path, const char* title, long span);

    // The same for an image file held in memory (size bytes at data, which
    // must outlive the image): nothing is copied, and no path names it. A
    // title found too near the end for its cartridge header gives "Fatal
    // error in fread():".
    common::Status open_memory(const unsigned char* data, size_t size, const char* title, long span);

    // The count bytes at the rom offset. A rom offset before the start of the
    // file gives the error of a failed fseek ("Fatal error in fseek():"),
    // bytes past the end of the file or of the span that of a short read
    // ("Fatal error in fread():"), each with the system's message.
    common::Result<const unsigned char*> bytes(long offset, size_t count) const;

    // File position of rom offset 0 (0 when the title was not found).
    long long image_base() const { return base_; }
    RomHeaderInfo header() const { return header_; }

    // True when path names the image file itself, or when that cannot be
    // ruled out (see file_identity): no output may be written over the image.
    // Defined with open (rom_file.cpp); an image from memory is no file.
    bool is_image(const char* path) const;

private:
    void search(const unsigned char* header, bool found, int64_t title_pos);

    std::shared_ptr<std::FILE> stream_;  // kept open for the same-file guard (closed by the shell's deleter)
    std::unique_ptr<unsigned char[]> owned_;
    std::shared_ptr<const void> mapped_;   // the tables' part mapped from the file (by the shell), else null
    const unsigned char* data_ = nullptr;  // file position first_ onwards
    int64_t first_ = 0;                    // file position of data_[0]
    size_t size_ = 0;                      // bytes at data_
    int read_error_ = 0;                   // errno of a read that ended early, else 0
    long long base_ = 0;
    RomHeaderInfo header_ = {false, false};
};

// A ROM table of count records of record_size bytes in the image.
class RomTable {
public:
    // The table, or the image's error when its bytes are not all there.
    static common::Result<RomTable> read(const RomImage& image, long rom_offset, size_t record_size, size_t count);
    static common::Result<RomTable> read(const RomImage& image, const TableLayout& table) {
        return read(image, table.offset, static_cast<size_t>(table.record_size), static_cast<size_t>(table.count));
    }

    const unsigned char* record(size_t index) const { return data_ + index * record_size_; }

private:
    RomTable(size_t record_size, const unsigned char* data) : record_size_(record_size), data_(data) {}

    size_t record_size_;
    const unsigned char* data_;
};

// Horspool search for a pattern: the bad-character shifts are the distance
// from a byte's last occurrence (the pattern's last byte excluded) to the
// pattern's end. A window whose last byte is nowhere in the pattern (most
// windows of an image) is passed over whole, several at a time, without the
// shift table.
class Horspool {
public:
    Horspool(const unsigned char* pattern, size_t length);

    // Searches the n bytes at data. Returns true with *pos at the occurrence,
    // or false with *pos at the first window that did not fit (fewer than
    // length bytes before the end).
    bool find(const unsigned char* data, size_t n, size_t* pos) const;

private:
    // The first window from p on whose last byte occurs in the pattern, or
    // the first that does not fit.
    size_t skip_absent(const unsigned char* data, size_t n, size_t p) const;

    const unsigned char* pattern_;
    size_t length_;
    size_t shift_[256];
    unsigned char absent_[256];  // 1 for a byte that is nowhere in the pattern
};

// Forward search of pattern in the stream from its current position, through a
// fixed window (rom_file.cpp, the shells' side). Returns true with the stream
// at the first byte of the occurrence, false with the stream back where the
// search began, or the error of a failed seek or read.
common::Result<bool> find_signature(FILE* stream, const unsigned char* pattern, size_t length);

}  // namespace common
