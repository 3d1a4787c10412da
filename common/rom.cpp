#include "common/rom.h"

#include <cerrno>
#include <cstring>

namespace common {

using common::Error;
using common::Result;
using common::Status;

namespace {

bool hirom_of(const unsigned char* header) { return (header[kTitleLength] & 0x0F) != 0; }

}  // namespace

Horspool::Horspool(const unsigned char* pattern, size_t length) : pattern_(pattern), length_(length) {
    for (size_t& s : shift_) s = length;
    for (unsigned char& a : absent_) a = 1;
    for (size_t j = 0; j + 1 < length; ++j) shift_[pattern[j]] = length - 1 - j;
    for (size_t j = 0; j < length; ++j) absent_[pattern[j]] = 0;
}

bool Horspool::find(const unsigned char* data, size_t n, size_t* pos) const {
    size_t p = 0;
    for (;;) {
        p = skip_absent(data, n, p);
        if (p + length_ > n) break;
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

size_t Horspool::skip_absent(const unsigned char* data, size_t n, size_t p) const {
    const size_t step = length_;
    if (p + step > n) return p;
    const unsigned char* q = data + p + step - 1;  // the last byte of the window at p
    const unsigned char* const end = data + n;     // a window fits while q < end
    if (n - p >= 4 * step) {
        const unsigned char* const stop = end - 3 * step;  // four fit while q < stop
        while (q < stop && absent_[q[0]] && absent_[q[step]] && absent_[q[2 * step]] && absent_[q[3 * step]]) {
            q += 4 * step;
        }
    }
    while (q < end && absent_[*q]) q += step;
    return static_cast<size_t>(q - data) + 1 - step;
}

void RomImage::search(const unsigned char* header, bool found, int64_t title_pos) {
    if (!found) return;
    header_ = {true, hirom_of(header)};
    base_ = static_cast<long long>(title_pos) - (header_.hirom ? kHiRomHeaderOffset : kLoRomHeaderOffset);
}

Status RomImage::open_memory(const unsigned char* data, size_t size, const char* title, long span) {
    const size_t length = title ? strlen(title) : 0;
    size_t pos = 0;
    const bool found =
        length > 0 && Horspool(reinterpret_cast<const unsigned char*>(title), length).find(data, size, &pos);
    if (found && pos + kCartridgeHeaderSize > size) return common::end_of_file_error("Fatal error in fread():");
    search(found ? data + pos : nullptr, found, static_cast<int64_t>(pos));
    first_ = base_ > 0 ? base_ : 0;
    const int64_t end = base_ + span;
    const int64_t available = static_cast<int64_t>(size) - first_;
    const int64_t n = end - first_ < available ? end - first_ : available;
    data_ = data + (n > 0 ? first_ : 0);
    size_ = n > 0 ? static_cast<size_t>(n) : 0;
    return common::success();
}

Result<const unsigned char*> RomImage::bytes(long offset, size_t count) const {
    const int64_t pos = base_ + offset;
    if (offset < 0 || pos < 0) return common::system_error("Fatal error in fseek():", EINVAL);
    const int64_t from = pos - first_;
    if (from + static_cast<int64_t>(count) > static_cast<int64_t>(size_)) {
        return read_error_ ? common::system_error("Fatal error in fread():", read_error_)
                           : common::end_of_file_error("Fatal error in fread():");
    }
    return data_ + from;
}

Result<RomTable> RomTable::read(const RomImage& image, long rom_offset, size_t record_size, size_t count) {
    const Result<const unsigned char*> data = image.bytes(rom_offset, record_size * count);
    if (!data) return data.error();
    return RomTable(record_size, *data);
}

}  // namespace common
