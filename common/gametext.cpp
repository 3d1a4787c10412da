#include "common/gametext.h"

#include <cstdlib>
#include <cstring>

#include "common/diag.h"

const char* game_char_at(const unsigned char* src, size_t length, size_t i, size_t* used,
                         const CharTables& tables) {
    const unsigned char b = src[i];
    if (is_lead_byte(b)) {
        if (i + 1 >= length) {
            *used = 1;
            return nullptr;
        }
        *used = 2;
        return tables.dbl[(b - kFirstLeadByte) * 256 + src[i + 1]];
    }
    *used = 1;
    return tables.single[b];
}

namespace {

// Length of the longest prefix of text (len bytes) that fits in limit bytes
// without splitting a double-byte character.
size_t fit_at_char_boundary(const char* text, size_t len, size_t limit) {
    size_t i = 0;
    while (i < len) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t w = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (i + w > limit) break;
        i += w;
    }
    return i < len ? i : len;
}

}  // namespace

char* convert_game_text(char* dst, const unsigned char* src, size_t dst_size, size_t length,
                        const CharTables& tables) {
    if (!dst) return nullptr;
    if (!src || dst_size == 0 || length == 0) return dst;
    char* text = static_cast<char*>(malloc(4 * length));
    if (!text) fatal("Fatal error in malloc()");
    size_t n = 0;
    for (size_t i = 0; i < length;) {
        size_t used = 1;
        const char* entry = game_char_at(src, length, i, &used, tables);
        i += used;
        if (!entry) continue;
        const size_t w = strlen(entry);
        memcpy(text + n, entry, w);
        n += w;
    }
    while (n > 0 && text[n - 1] == ' ') --n;
    const size_t keep = fit_at_char_boundary(text, n, dst_size - 1);
    memcpy(dst, text, keep);
    memset(dst + keep, 0, dst_size - keep);
    free(text);
    return dst;
}
