// Text files that spreadsheets save, turned into UTF-8, the encoding of every
// text in the tools: through the system's own converter (glibc's iconv, on
// Windows MultiByteToWideChar and WideCharToMultiByte).
#pragma once

#include <cstddef>
#include <string>

namespace common {

enum class TextEncoding {
    kUtf8,     // checked only: the text is kept as it is
    kUtf16Le,  // Excel's "Unicode Text"
    kUtf16Be,
    kCp932,    // Excel's plain CSV on Japanese Windows
};

// Converts text (without its byte-order mark) from encoding to UTF-8 into
// out; with out null the text is only checked. Returns true, or false with
// bad set to the offset of the first byte that is no character of the
// encoding (an incomplete one at the end included).
bool convert_to_utf8(TextEncoding encoding, const std::string& text, std::string* out, size_t* bad);

}  // namespace common
