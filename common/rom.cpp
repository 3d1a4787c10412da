#include "common/rom.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/block.h"
#include "common/diag.h"
#include "common/files.h"

namespace {

constexpr size_t kSearchChunk = 64 * 1024;

FILE* g_rom = nullptr;
long long g_image_base = 0;
RomHeaderInfo g_header = {false, false};

void seek_or_die(FILE* stream, int64_t offset, int whence) {
    if (seek_file(stream, offset, whence) != 0) fatal("Fatal error in fseek():");
}

int64_t tell_or_die(FILE* stream) {
    const int64_t pos = tell_file(stream);
    if (pos < 0) fatal("Fatal error in fseek():");
    return pos;
}

// Reads up to count bytes; a short count is fine at the end of the file, but a
// read error is fatal.
size_t read_some(FILE* stream, unsigned char* dst, size_t count) {
    size_t got = fread(dst, 1, count, stream);
    if (got < count && ferror(stream)) fatal("Fatal error in fread():");
    return got;
}

// Horspool bad-character shifts: the distance from a byte's last occurrence
// (the pattern's last byte excluded) to the pattern's end.
void build_shifts(const unsigned char* pattern, size_t length, size_t shift[256]) {
    for (int i = 0; i < 256; ++i) shift[i] = length;
    for (size_t j = 0; j + 1 < length; ++j) shift[pattern[j]] = length - 1 - j;
}

}  // namespace

int find_signature(FILE* stream, const unsigned char* pattern, size_t length) {
    // The file is read forward once, in chunks of a fixed buffer; a window that
    // straddles two chunks is carried over to the start of the buffer. The
    // search ends at the size the file had when it began, so a device that
    // never runs dry (/dev/zero reports a size of 0) or a file that grows
    // meanwhile is never read past it.
    const size_t buffer_size = 16 * length > kSearchChunk ? 16 * length : kSearchChunk;
    const int64_t start = tell_or_die(stream);
    seek_or_die(stream, 0, SEEK_END);
    const int64_t end = tell_or_die(stream);
    seek_or_die(stream, start, SEEK_SET);
    int64_t left = end > start ? end - start : 0;
    size_t shift[256];
    build_shifts(pattern, length, shift);
    const BlockPtr<unsigned char> owner(alloc_block<unsigned char>(buffer_size));  // freed also when fatal throws
    unsigned char* const buffer = owner.get();

    int64_t base = start;  // file position of buffer[0]
    size_t kept = 0;
    for (;;) {
        const size_t room = buffer_size - kept;
        const size_t want = left < static_cast<int64_t>(room) ? static_cast<size_t>(left) : room;
        const size_t got = want ? read_some(stream, buffer + kept, want) : 0;
        left -= static_cast<int64_t>(got);
        const size_t n = kept + got;
        size_t pos = 0;
        while (pos + length <= n) {
            const unsigned char last = buffer[pos + length - 1];
            if (last == pattern[length - 1] && memcmp(buffer + pos, pattern, length) == 0) {
                seek_or_die(stream, base + static_cast<int64_t>(pos), SEEK_SET);
                return 0;
            }
            pos += shift[last];
        }
        if (got == 0) break;
        kept = n - pos;  // less than length bytes: the start of the next window
        memmove(buffer, buffer + pos, kept);
        base += static_cast<int64_t>(pos);
    }
    seek_or_die(stream, start, SEEK_SET);
    return 1;
}

int rom_open(const char* path, const char* title) {
    if (!path || !*path || !title || !*title) return 0;
    rom_close();
    FILE* stream = open_file(path, "rb");
    if (!stream) return 0;
    g_rom = stream;
    g_image_base = 0;
    const size_t length = strlen(title);
    if (find_signature(stream, reinterpret_cast<const unsigned char*>(title), length) == 0) {
        const int64_t title_pos = tell_or_die(stream);
        unsigned char header[kCartridgeHeaderSize];
        if (fread(header, 1, sizeof header, stream) != sizeof header) fatal("Fatal error in fread():");
        const bool hirom = (header[kTitleLength] & 0x0F) != 0;
        g_header = {true, hirom};
        g_image_base = static_cast<long long>(title_pos) - (hirom ? kHiRomHeaderOffset : kLoRomHeaderOffset);
    }
    seek_or_die(stream, 0, SEEK_SET);
    return 1;
}

size_t rom_read(void* buffer, long offset, size_t count) {
    if (!buffer || offset < 0 || !g_rom) return 0;
    const long long pos = g_image_base + offset;
    if (pos < 0) {
        errno = EINVAL;
        fatal("Fatal error in fseek():");
    }
    seek_or_die(g_rom, pos, SEEK_SET);
    if (count == 0) return 0;
    if (fread(buffer, 1, count, g_rom) != count) fatal("Fatal error in fread():");
    return count;
}

int rom_close() {
    if (g_rom) fclose(g_rom);
    g_rom = nullptr;
    g_image_base = 0;
    g_header = {false, false};
    return 0;
}

long long rom_image_base() { return g_image_base; }

RomHeaderInfo rom_header_info() { return g_header; }

bool rom_is_image(const char* path) {
    if (!g_rom || !path) return false;
    return file_identity(g_rom, path) != FileIdentity::Different;
}
