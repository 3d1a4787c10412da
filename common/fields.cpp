#include "common/fields.h"

#include <cstring>

namespace {

constexpr int kMaxDigits = 24;

// Digits of v in the base, most significant first, at the end of buf; returns
// the index of the first digit.
int digits(unsigned long v, unsigned base, char* buf) {
    static const char hex[] = "0123456789ABCDEF";
    int i = kMaxDigits;
    do {
        buf[--i] = hex[v % base];
        v /= base;
    } while (v);
    return i;
}

unsigned long magnitude(long value) {
    return value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
}

}  // namespace

void FieldWriter::flush() {
    if (used_) fwrite(buffer_, 1, used_, stream_);
    used_ = 0;
}

void FieldWriter::append(const char* s, size_t n) {
    if (used_ + n > sizeof buffer_) {
        flush();
        if (n > sizeof buffer_) {
            fwrite(s, 1, n, stream_);
            return;
        }
    }
    memcpy(buffer_ + used_, s, n);
    used_ += n;
}

void FieldWriter::fill(char c, int count) {
    char run[32];
    memset(run, c, sizeof run);
    while (count > 0) {
        const int n = count < 32 ? count : 32;
        append(run, static_cast<size_t>(n));
        count -= n;
    }
}

FieldWriter& FieldWriter::str(const char* s) {
    append(s, strlen(s));
    return *this;
}

FieldWriter& FieldWriter::ch(char c) {
    append(&c, 1);
    return *this;
}

FieldWriter& FieldWriter::left(const char* s, int width) {
    const size_t len = strlen(s);
    append(s, len);
    if (static_cast<long>(len) < width) fill(' ', width - static_cast<int>(len));
    return *this;
}

FieldWriter& FieldWriter::dec(long value, int width, bool plus) {
    char buf[kMaxDigits];
    int i = digits(magnitude(value), 10, buf);
    if (value < 0) {
        buf[--i] = '-';
    } else if (plus) {
        buf[--i] = '+';
    }
    const int len = kMaxDigits - i;
    if (len < width) fill(' ', width - len);
    append(buf + i, static_cast<size_t>(len));
    return *this;
}

FieldWriter& FieldWriter::dec0(long value, int width) {
    char buf[kMaxDigits];
    const int i = digits(magnitude(value), 10, buf);
    const int len = kMaxDigits - i + (value < 0 ? 1 : 0);
    if (value < 0) ch('-');
    if (len < width) fill('0', width - len);
    append(buf + i, static_cast<size_t>(kMaxDigits - i));
    return *this;
}

FieldWriter& FieldWriter::hex0(unsigned long value, int width) {
    char buf[kMaxDigits];
    const int i = digits(value, 16, buf);
    const int len = kMaxDigits - i;
    if (len < width) fill('0', width - len);
    append(buf + i, static_cast<size_t>(len));
    return *this;
}
