// The ROM image of one run, read into memory once.
//
// The image may carry any number of leading bytes (a copier header) before the
// ROM proper. The internal cartridge header is found by its title; the
// map-mode byte after the title tells LoROM (header at rom offset 0x7FC0) from
// HiROM (0xFFC0), which fixes the image base: the file position of rom offset 0.
// Then the part of the image that the tables lie in (rom offsets 0 up to the
// end of the highest table, or up to the end of the file where it ends
// sooner) is read in one piece, and every loader and name lookup reads from
// that copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "common/block.h"
#include "common/layout.h"

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
    ~RomImage();

    // Opens the file, searches the title and reads rom offsets 0..span-1 (as
    // far as the file holds them). Returns false for a null or empty path or
    // title or an unopenable file; a read error ends the process.
    bool open(const char* path, const char* title, long span);

    // The same for an image file held in memory (size bytes at data, which
    // must outlive the image): nothing is copied, and no path names it.
    void open_memory(const unsigned char* data, size_t size, const char* title, long span);

    // The count bytes at the rom offset. A rom offset before the start of the
    // file ends the process as a failed fseek does ("Fatal error in fseek():"),
    // bytes past the end of the file or of the span as a short read does
    // ("Fatal error in fread():").
    const unsigned char* bytes(long offset, size_t count) const;

    // File position of rom offset 0 (0 when the title was not found).
    long long image_base() const { return base_; }
    RomHeaderInfo header() const { return header_; }

    // True when path names the image file itself, or when that cannot be
    // ruled out (see file_identity): no output may be written over the image.
    bool is_image(const char* path) const;

private:
    void search(const unsigned char* header, bool found, int64_t title_pos);

    FILE* stream_ = nullptr;  // kept open for the same-file guard
    BlockPtr<unsigned char> owned_;
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
    RomTable(const RomImage& image, long rom_offset, size_t record_size, size_t count)
        : record_size_(record_size), data_(image.bytes(rom_offset, record_size * count)) {}
    RomTable(const RomImage& image, const TableLayout& table)
        : RomTable(image, table.offset, static_cast<size_t>(table.record_size), static_cast<size_t>(table.count)) {}

    const unsigned char* record(size_t index) const { return data_ + index * record_size_; }

private:
    size_t record_size_;
    const unsigned char* data_;
};

// Forward search of pattern in the stream from its current position, through a
// fixed window. Returns 0 with the stream at the first byte of the occurrence,
// or 1 with the stream back where the search began.
int find_signature(FILE* stream, const unsigned char* pattern, size_t length);
