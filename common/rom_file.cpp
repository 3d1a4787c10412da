// The image file of a tool's run: opened, searched and read by the shell, whose
// bytes the core then reads.
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "common/files.h"
#include "common/rom.h"

namespace common {

using common::Error;
using common::Result;
using common::Status;

// Windows refuses to replace or truncate a file while a view of it is
// mapped (another program saving over the image, a test writing it again),
// so there the tables' part is read as before.
#ifdef _WIN32
constexpr bool kMapImages = false;
#else
constexpr bool kMapImages = true;
#endif

namespace {

constexpr size_t kSearchChunk = 64 * 1024;

Error seek_error() { return common::system_error("Fatal error in fseek():", errno); }
Error read_error() { return common::system_error("Fatal error in fread():", errno); }

// Reads up to count bytes into dst; a short count is fine at the end of the
// file, a read error is not.
bool read_some(FILE* stream, unsigned char* dst, size_t count, size_t* got) {
    *got = fread(dst, 1, count, stream);
    return *got == count || !ferror(stream);
}

}  // namespace

Result<bool> find_signature(FILE* stream, const unsigned char* pattern, size_t length) {
    // The file is read forward once, in chunks of a fixed buffer; a window that
    // straddles two chunks is carried over to the start of the buffer. The
    // search ends at the size the file had when it began, so a device that
    // never runs dry (/dev/zero reports a size of 0) or a file that grows
    // meanwhile is never read past it.
    const size_t buffer_size = 16 * length > kSearchChunk ? 16 * length : kSearchChunk;
    const int64_t start = tell_file(stream);
    if (start < 0 || seek_file(stream, 0, SEEK_END) != 0) return seek_error();
    const int64_t end = tell_file(stream);
    if (end < 0 || seek_file(stream, start, SEEK_SET) != 0) return seek_error();
    int64_t left = end > start ? end - start : 0;
    const Horspool search(pattern, length);
    std::vector<unsigned char> buffer(buffer_size);

    int64_t base = start;  // file position of buffer[0]
    size_t kept = 0;
    for (;;) {
        const size_t room = buffer_size - kept;
        const size_t want = left < static_cast<int64_t>(room) ? static_cast<size_t>(left) : room;
        size_t got = 0;
        if (want && !read_some(stream, buffer.data() + kept, want, &got)) return read_error();
        left -= static_cast<int64_t>(got);
        const size_t n = kept + got;
        size_t pos = 0;
        if (search.find(buffer.data(), n, &pos)) {
            if (seek_file(stream, base + static_cast<int64_t>(pos), SEEK_SET) != 0) return seek_error();
            return true;
        }
        if (got == 0) break;
        kept = n - pos;  // less than length bytes: the start of the next window
        memmove(buffer.data(), buffer.data() + pos, kept);
        base += static_cast<int64_t>(pos);
    }
    if (seek_file(stream, start, SEEK_SET) != 0) return seek_error();
    return false;
}

Status RomImage::open(const char* path, const char* title, long span) {
    const Error invalid(std::string("Invalid ROM-Image file - ") + (path ? path : ""));
    if (!path || !*path || !title || !*title) return invalid;
    FILE* const file = open_file(path, "rb");
    if (!file) return invalid;
    stream_.reset(file, [](FILE* f) { fclose(f); });
    const Result<bool> found = find_signature(file, reinterpret_cast<const unsigned char*>(title), strlen(title));
    if (!found) return found.error();
    if (*found) {
        const int64_t title_pos = tell_file(file);
        if (title_pos < 0) return seek_error();
        unsigned char header[kCartridgeHeaderSize];
        if (fread(header, 1, sizeof header, file) != sizeof header) {
            return ferror(file) ? read_error() : common::end_of_file_error("Fatal error in fread():");
        }
        search(header, true, title_pos);
    }
    // The tables' part of the image, mapped or in one read. A file that ends
    // sooner (or a read error) leaves the rest out: reading there fails
    // later, when a loader gets to it, exactly as a short read of the file
    // would.
    first_ = base_ > 0 ? base_ : 0;
    const int64_t end = base_ + span;
    auto mapping = std::make_shared<FileMapping>();
    if (kMapImages && end > first_ && mapping->map(file, first_, static_cast<size_t>(end - first_))) {
        data_ = mapping->data();
        size_ = mapping->size();
        mapped_ = std::move(mapping);
    } else if (end > first_) {
        if (seek_file(file, first_, SEEK_SET) != 0) return seek_error();
        const size_t want = static_cast<size_t>(end - first_);
        owned_ = std::make_unique_for_overwrite<unsigned char[]>(want);
        const int saved = errno;
        size_ = fread(owned_.get(), 1, want, file);
        if (size_ < want && ferror(file)) read_error_ = errno;
        errno = saved;
        data_ = owned_.get();
    }
    return common::success();
}

bool RomImage::is_image(const char* path) const {
    if (!stream_ || !path) return false;
    return file_identity(stream_.get(), path) != FileIdentity::Different;
}

}  // namespace common
