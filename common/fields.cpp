#include "fields.h"

#include <cstring>

namespace {

constexpr int kMaxDigits = 24;

// The tools are single-threaded: the stream needs no locking per field.
inline void out(const char* s, size_t n, FILE* stream) {
#ifdef __GLIBC__
    fwrite_unlocked(s, 1, n, stream);
#else
    fwrite(s, 1, n, stream);
#endif
}

// Writes count copies of c.
void put_fill(FILE* stream, char c, int count) {
    static const char blanks[] = "                                ";
    static const char zeros[] = "00000000000000000000000000000000";
    const char* run = c == ' ' ? blanks : zeros;
    while (count > 0) {
        const int n = count < 32 ? count : 32;
        out(run, static_cast<size_t>(n), stream);
        count -= n;
    }
}

// Digits of the magnitude, most significant first, at the end of buf; returns
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

void put_str(FILE* stream, const char* s) { out(s, strlen(s), stream); }

void put_char(FILE* stream, char c) {
#ifdef __GLIBC__
    putc_unlocked(c, stream);
#else
    putc(c, stream);
#endif
}

void put_left(FILE* stream, const char* s, int width) {
    const size_t len = strlen(s);
    out(s, len, stream);
    if (static_cast<long>(len) < width) put_fill(stream, ' ', width - static_cast<int>(len));
}

void put_dec(FILE* stream, long value, int width, bool plus) {
    char buf[kMaxDigits + 1];
    int i = digits(magnitude(value), 10, buf);
    if (value < 0) {
        buf[--i] = '-';
    } else if (plus) {
        buf[--i] = '+';
    }
    const int len = kMaxDigits - i;
    if (len < width) put_fill(stream, ' ', width - len);
    out(buf + i, static_cast<size_t>(len), stream);
}

void put_dec0(FILE* stream, long value, int width) {
    char buf[kMaxDigits];
    const int i = digits(magnitude(value), 10, buf);
    const int len = kMaxDigits - i + (value < 0 ? 1 : 0);
    if (value < 0) out("-", 1, stream);
    if (len < width) put_fill(stream, '0', width - len);
    out(buf + i, static_cast<size_t>(kMaxDigits - i), stream);
}

void put_hex0(FILE* stream, unsigned long value, int width) {
    char buf[kMaxDigits];
    const int i = digits(value, 16, buf);
    const int len = kMaxDigits - i;
    if (len < width) put_fill(stream, '0', width - len);
    out(buf + i, static_cast<size_t>(len), stream);
}
