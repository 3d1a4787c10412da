#include "common/text_encoding.h"

#include <windows.h>

namespace common {

namespace {

// The text as UTF-16 (in the machine's order), or false when it holds a
// byte that is no character of the code page.
bool to_wide(UINT code_page, const char* text, size_t size, std::wstring* wide) {
    if (size == 0) {
        wide->clear();
        return true;
    }
    const int n = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text, static_cast<int>(size), nullptr, 0);
    if (n <= 0) return false;
    wide->resize(static_cast<size_t>(n));
    return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text, static_cast<int>(size), wide->data(), n) == n;
}

bool wide_to_utf8(const std::wstring& wide, std::string* out) {
    out->clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    out->resize(static_cast<size_t>(n));
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, out->data(), n, nullptr, nullptr) ==
           n;
}

// UTF-16 of the given byte order as the machine's wide characters.
std::wstring utf16_units(const std::string& text, bool big_endian) {
    std::wstring wide(text.size() / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(text[2 * i]);
        const unsigned char b = static_cast<unsigned char>(text[2 * i + 1]);
        wide[i] = static_cast<wchar_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
    }
    return wide;
}

// The first unit that is no character: the end of the longest prefix made of
// whole characters, found by halving. good(n) tells whether the first n
// units are whole characters; a character has at most max_units units.
template <typename Good>
size_t first_bad(size_t size, size_t max_units, const Good& good) {
    const auto near_good = [&](size_t n) {
        for (size_t back = 0; back < max_units && back <= n; ++back) {
            if (good(n - back)) return true;
        }
        return false;
    };
    size_t lo = 0, hi = size;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo + 1) / 2;
        if (near_good(mid)) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    while (lo > 0 && !good(lo)) --lo;
    return lo;
}

bool utf16_to_utf8(const std::string& text, bool big_endian, std::string* out, size_t* bad) {
    const std::wstring wide = utf16_units(text, big_endian);
    std::string converted;
    if (wide_to_utf8(wide, &converted) && text.size() % 2 == 0) {
        if (out) *out = std::move(converted);
        return true;
    }
    std::string part;
    *bad = 2 * first_bad(wide.size(), 2, [&](size_t n) { return wide_to_utf8(wide.substr(0, n), &part); });
    return false;
}

}  // namespace

bool convert_to_utf8(TextEncoding encoding, const std::string& text, std::string* out, size_t* bad) {
    if (encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be) {
        return utf16_to_utf8(text, encoding == TextEncoding::kUtf16Be, out, bad);
    }
    const UINT code_page = encoding == TextEncoding::kCp932 ? 932 : CP_UTF8;
    std::wstring wide;
    if (!to_wide(code_page, text.data(), text.size(), &wide)) {
        *bad = first_bad(text.size(), 4, [&](size_t n) { return to_wide(code_page, text.data(), n, &wide); });
        return false;
    }
    if (encoding == TextEncoding::kUtf8) return true;
    std::string converted;
    if (!wide_to_utf8(wide, &converted)) {
        *bad = 0;
        return false;
    }
    if (out) *out = std::move(converted);
    return true;
}

}  // namespace common
