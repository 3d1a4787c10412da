#include "common/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace common {

namespace {

const char* iconv_name(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::kUtf16Le: return "UTF-16LE";
        case TextEncoding::kUtf16Be: return "UTF-16BE";
        case TextEncoding::kCp932: return "CP932";
        case TextEncoding::kUtf8: break;
    }
    return "UTF-8";
}

}  // namespace

bool convert_to_utf8(TextEncoding encoding, const std::string& text, std::string* out, size_t* bad) {
    const iconv_t cd = iconv_open("UTF-8", iconv_name(encoding));
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        *bad = 0;
        return false;
    }
    if (out) out->clear();
    char* in = const_cast<char*>(text.data());
    size_t in_left = text.size();
    char chunk[1 << 16];
    bool ok = true;
    while (in_left > 0) {
        char* to = chunk;
        size_t to_left = sizeof chunk;
        const size_t n = iconv(cd, &in, &in_left, &to, &to_left);
        if (out) out->append(chunk, static_cast<size_t>(to - chunk));
        if (n == static_cast<size_t>(-1) && errno != E2BIG) {
            *bad = static_cast<size_t>(in - text.data());
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

}  // namespace common
