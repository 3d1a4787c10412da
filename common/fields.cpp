#include "common/fields.h"

#include <cstdarg>
#include <cstdio>
#include <new>

namespace common {

namespace {

constexpr int kMaxDigits = 24;
constexpr size_t kFirstCapacity = 64 * 1024;

// The two digits of 0 to 99.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Digits of v, most significant first, at the end of buf; return the index
// of the first digit. Two digits at a time, by a fixed divisor, so that the
// compiler divides by multiplying.
int decimal_digits(unsigned long v, char* buf) {
    int i = kMaxDigits;
    while (v >= 100) {
        const unsigned long pair = v % 100;
        v /= 100;
        i -= 2;
        memcpy(buf + i, kDigitPairs + 2 * pair, 2);
    }
    if (v >= 10) {
        i -= 2;
        memcpy(buf + i, kDigitPairs + 2 * v, 2);
    } else {
        buf[--i] = static_cast<char>('0' + v);
    }
    return i;
}

int hex_digits(unsigned long v, char* buf) {
    static const char hex[] = "0123456789ABCDEF";
    int i = kMaxDigits;
    do {
        buf[--i] = hex[v & 15];
        v >>= 4;
    } while (v);
    return i;
}

unsigned long magnitude(long value) {
    return value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
}

}  // namespace

void ReportText::grow(size_t more) {
    size_t capacity = capacity_ ? 2 * capacity_ : kFirstCapacity;
    while (capacity - size_ < more) capacity *= 2;
    std::unique_ptr<char[]> data(new char[capacity]);  // memory that runs out throws std::bad_alloc
    if (size_) memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
}

void ReportText::fill(char c, int count) {
    if (count <= 0) return;
    const size_t n = static_cast<size_t>(count);
    if (n > capacity_ - size_) grow(n);
    memset(data_.get() + size_, c, n);
    size_ += n;
}

ReportText& ReportText::left(const char* s, int width) {
    const size_t len = strlen(s);
    append(s, len);
    if (static_cast<long>(len) < width) fill(' ', width - static_cast<int>(len));
    return *this;
}

ReportText& ReportText::right(const char* s, int width) {
    const size_t len = strlen(s);
    if (static_cast<long>(len) < width) fill(' ', width - static_cast<int>(len));
    append(s, len);
    return *this;
}

// A number field: the digits (and sign) end at buf + kMaxDigits, with the pad
// character in front of them; buf holds 2 * kMaxDigits bytes. A field of up to
// kMaxDigits bytes is appended with one copy of a fixed size (no call for a
// few bytes), the bytes past the field landing in spare capacity.
void ReportText::number_field(const char* buf, int len, int width, char pad) {
    const int total = len < width ? width : len;
    if (total > kMaxDigits) {
        fill(pad, total - len);
        append(buf + kMaxDigits - len, static_cast<size_t>(len));
        return;
    }
    if (static_cast<size_t>(kMaxDigits) > capacity_ - size_) grow(kMaxDigits);
    memcpy(data_.get() + size_, buf + kMaxDigits - total, kMaxDigits);
    size_ += static_cast<size_t>(total);
}

ReportText& ReportText::dec(long value, int width, bool plus) {
    char buf[2 * kMaxDigits];
    memset(buf, ' ', sizeof buf);
    int i = decimal_digits(magnitude(value), buf);
    if (value < 0) {
        buf[--i] = '-';
    } else if (plus) {
        buf[--i] = '+';
    }
    number_field(buf, kMaxDigits - i, width, ' ');
    return *this;
}

ReportText& ReportText::dec0(long value, int width) {
    char buf[2 * kMaxDigits];
    memset(buf, '0', sizeof buf);
    const int i = decimal_digits(magnitude(value), buf);
    if (value >= 0) {
        number_field(buf, kMaxDigits - i, width, '0');
        return *this;
    }
    // The sign stands before the zeros.
    ch('-');
    number_field(buf, kMaxDigits - i, width - 1, '0');
    return *this;
}

ReportText& ReportText::hex0(unsigned long value, int width) {
    char buf[2 * kMaxDigits];
    memset(buf, '0', sizeof buf);
    const int i = hex_digits(value, buf);
    number_field(buf, kMaxDigits - i, width, '0');
    return *this;
}

ReportText& ReportText::format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (n > 0) {
        const size_t len = static_cast<size_t>(n);
        if (len + 1 > capacity_ - size_) grow(len + 1);
        vsnprintf(data_.get() + size_, len + 1, format, again);
        size_ += len;
    }
    va_end(again);
    return *this;
}

}  // namespace common
