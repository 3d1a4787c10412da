#include "common/rom.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/diag.h"
#include "common/files.h"

namespace {

constexpr size_t kSearchChunk = 64 * 1024;

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

// Horspool search for a pattern: the bad-character shifts are the distance
// from a byte's last occurrence (the pattern's last byte excluded) to the
// pattern's end.
class Horspool {
public:
    Horspool(const unsigned char* pattern, size_t length) : pattern_(pattern), length_(length) {
        for (size_t& s : shift_) s = length;
        for (size_t j = 0; j + 1 < length; ++j) shift_[pattern[j]] = length - 1 - j;
    }

    // Searches the n bytes at data. Returns true with *pos at the occurrence,
    // or false with *pos at the first window that did not fit (fewer than
    // length bytes before the end).
    bool find(const unsigned char* data, size_t n, size_t* pos) const {
        size_t p = 0;
        while (p + length_ <= n) {
            const unsigned char last = data[p + length_ - 1];
            if (last == pattern_[length_ - 1] && memcmp(data + p, pattern_, length_) == 0) {
                *pos = p;
                return true;
            }
            p += shift_[last];
        }
        *pos = p;
        return false;
    }

private:
    const unsigned char* pattern_;
    size_t length_;
    size_t shift_[256];
};

bool hirom_of(const unsigned char* header) { return (header[kTitleLength] & 0x0F) != 0; }

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
    const Horspool search(pattern, length);
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
        if (search.find(buffer, n, &pos)) {
            seek_or_die(stream, base + static_cast<int64_t>(pos), SEEK_SET);
            return 0;
        }
        if (got == 0) break;
        kept = n - pos;  // less than length bytes: the start of the next window
        memmove(buffer, buffer + pos, kept);
        base += static_cast<int64_t>(pos);
    }
    seek_or_die(stream, start, SEEK_SET);
    return 1;
}

RomImage::~RomImage() {
    if (stream_) fclose(stream_);
}

void RomImage::search(const unsigned char* header, bool found, int64_t title_pos) {
    if (!found) return;
    header_ = {true, hirom_of(header)};
    base_ = static_cast<long long>(title_pos) - (header_.hirom ? kHiRomHeaderOffset : kLoRomHeaderOffset);
}

bool RomImage::open(const char* path, const char* title, long span) {
    if (!path || !*path || !title || !*title) return false;
    stream_ = open_file(path, "rb");
    if (!stream_) return false;
    const size_t length = strlen(title);
    if (find_signature(stream_, reinterpret_cast<const unsigned char*>(title), length) == 0) {
        const int64_t title_pos = tell_or_die(stream_);
        unsigned char header[kCartridgeHeaderSize];
        if (fread(header, 1, sizeof header, stream_) != sizeof header) fatal("Fatal error in fread():");
        search(header, true, title_pos);
    }
    // The tables' part of the image, in one read. A file that ends sooner (or
    // a read error) leaves the rest out: reading there ends the run later,
    // when a loader gets to it, exactly as a short read of the file would.
    first_ = base_ > 0 ? base_ : 0;
    const int64_t end = base_ + span;
    if (end > first_) {
        seek_or_die(stream_, first_, SEEK_SET);
        const size_t want = static_cast<size_t>(end - first_);
        owned_.reset(alloc_block<unsigned char>(want));
        const int saved = errno;
        size_ = fread(owned_.get(), 1, want, stream_);
        if (size_ < want && ferror(stream_)) read_error_ = errno;
        errno = saved;
        data_ = owned_.get();
    }
    return true;
}

void RomImage::open_memory(const unsigned char* data, size_t size, const char* title, long span) {
    const size_t length = title ? strlen(title) : 0;
    size_t pos = 0;
    const bool found =
        length > 0 && Horspool(reinterpret_cast<const unsigned char*>(title), length).find(data, size, &pos);
    if (found && pos + kCartridgeHeaderSize > size) fatal("Fatal error in fread():");
    search(found ? data + pos : nullptr, found, static_cast<int64_t>(pos));
    first_ = base_ > 0 ? base_ : 0;
    const int64_t end = base_ + span;
    const int64_t available = static_cast<int64_t>(size) - first_;
    const int64_t n = end - first_ < available ? end - first_ : available;
    data_ = data + (n > 0 ? first_ : 0);
    size_ = n > 0 ? static_cast<size_t>(n) : 0;
}

const unsigned char* RomImage::bytes(long offset, size_t count) const {
    const int64_t pos = base_ + offset;
    if (offset < 0 || pos < 0) {
        errno = EINVAL;
        fatal("Fatal error in fseek():");
    }
    const int64_t from = pos - first_;
    if (from + static_cast<int64_t>(count) > static_cast<int64_t>(size_)) {
        if (read_error_) errno = read_error_;
        fatal("Fatal error in fread():");
    }
    return data_ + from;
}

bool RomImage::is_image(const char* path) const {
    if (!stream_ || !path) return false;
    return file_identity(stream_, path) != FileIdentity::Different;
}
