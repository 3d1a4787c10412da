// Access to the one ROM image a process reads.
//
// The image may carry any number of leading bytes (a copier header) before the
// ROM proper. rom_open finds the internal cartridge header by its title; the
// map-mode byte after the title tells LoROM (header at rom offset 0x7FC0) from
// HiROM (0xFFC0), which fixes the image base: the file position of rom offset 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int kTitleLength = 21;
constexpr int kCartridgeHeaderSize = 32;
constexpr long kLoRomHeaderOffset = 0x7FC0;
constexpr long kHiRomHeaderOffset = 0xFFC0;

// Returns 1 when the file could be opened (whether or not the title was found),
// 0 for a null or empty path or title or an unopenable file.
int rom_open(const char* path, const char* title);

// Reads count bytes at the rom offset into buffer and returns count. A null
// buffer or a negative offset reads nothing and returns 0. A failed seek or a
// short read ends the process.
size_t rom_read(void* buffer, long offset, size_t count);

// Closes the image (if open) and resets the image base. Returns 0.
int rom_close();

// File position of rom offset 0 (0 while closed or when the title was not found).
long long rom_image_base();

// What the title search of the open image found: whether the title is there
// and, if so, whether its map-mode byte says HiROM (else LoROM).
struct RomHeaderInfo {
    bool title_found;
    bool hirom;
};
RomHeaderInfo rom_header_info();

// True when path names the open image itself, or when that cannot be ruled
// out (see file_identity): a report must never be written over the image.
bool rom_is_image(const char* path);

// Forward search of pattern in the stream from its current position, through a
// fixed window. Returns 0 with the stream at the first byte of the occurrence,
// or 1 with the stream back where the search began.
int find_signature(FILE* stream, const unsigned char* pattern, size_t length);
