#include "common/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include <cstdlib>

// The module's C library has no code page 932: the platform's own decoder
// (the browser's and Node's TextDecoder("shift_jis"), the WHATWG encoding of
// Windows' code page 932) converts it. Returns the UTF-8 text made with
// malloc (its length in *length), or null with *bad the offset of the first
// byte that begins no character (a lead byte takes two bytes).
EM_JS(char*, shift_jis_to_utf8, (const char* data, size_t size, size_t* bad, size_t* length), {
  var bytes = HEAPU8.subarray(data, data + size);
  var decoder = new TextDecoder('shift_jis', { fatal: true });
  var text;
  try {
    text = decoder.decode(bytes);
  } catch (e) {
    var at = 0;
    while (at < size) {
      var lead = bytes[at];
      var end = Math.min(size, at + ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1));
      try {
        decoder.decode(bytes.subarray(at, end));
      } catch (e2) {
        break;
      }
      at = end;
    }
    HEAPU32[bad >> 2] = at;
    return 0;
  }
  var n = lengthBytesUTF8(text);
  var out = _malloc(n + 1);
  stringToUTF8(text, out, n + 1);
  HEAPU32[length >> 2] = n;
  return out;
});
#endif

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
#ifdef __EMSCRIPTEN__
    if (encoding == TextEncoding::kCp932) {
        size_t length = 0;
        char* converted = shift_jis_to_utf8(text.data(), text.size(), bad, &length);
        if (!converted) return false;
        if (out) out->assign(converted, length);
        std::free(converted);
        return true;
    }
#endif
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
