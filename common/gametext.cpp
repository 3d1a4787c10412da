#include "common/gametext.h"

#include <cstring>

namespace common {

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
    // Converted in place, without a buffer of its own: the first dst_size
    // bytes of the text go into dst, which is all that the cut at a character
    // boundary reads, and the rest is only measured for the trailing blanks.
    size_t n = 0;         // bytes of the whole converted text
    size_t stripped = 0;  // its length without trailing ASCII blanks
    for (size_t i = 0; i < length;) {
        size_t used = 1;
        const char* entry = game_char_at(src, length, i, &used, tables);
        i += used;
        if (!entry) continue;
        const size_t w = strlen(entry);
        if (n < dst_size) memcpy(dst + n, entry, w < dst_size - n ? w : dst_size - n);
        size_t k = w;
        while (k > 0 && entry[k - 1] == ' ') --k;
        if (k > 0) stripped = n + k;
        n += w;
    }
    const size_t keep = fit_at_char_boundary(dst, stripped < dst_size ? stripped : dst_size, dst_size - 1);
    memset(dst + keep, 0, dst_size - keep);
    return dst;
}

namespace {

constexpr unsigned kFirstSingleCode = 0x50;  // codes below are unused or lead bytes

// Whether the table entry stands in text at byte at. Every entry is one
// character, and neither Shift-JIS nor UTF-8 lets one character begin another,
// so the first entry that matches is the character there.
bool stands_at(const std::string& text, size_t at, const char* entry) {
    return text.compare(at, std::char_traits<char>::length(entry), entry) == 0;
}

}  // namespace

size_t encode_game_char(const std::string& text, size_t at, const CharTables& tables, std::vector<uint8_t>* codes) {
    for (unsigned code = kFirstSingleCode; code < 256; ++code) {
        if (!stands_at(text, at, tables.single[code])) continue;
        codes->push_back(static_cast<uint8_t>(code));
        return std::char_traits<char>::length(tables.single[code]);
    }
    for (unsigned code = 0; code < 1024; ++code) {
        if (!stands_at(text, at, tables.dbl[code])) continue;
        codes->push_back(static_cast<uint8_t>(kFirstLeadByte + code / 256));
        codes->push_back(static_cast<uint8_t>(code % 256));
        return std::char_traits<char>::length(tables.dbl[code]);
    }
    return 0;
}

NameField encode_name_field(const std::string& name, size_t field_length, const CharTables& tables) {
    NameField field;
    for (size_t i = 0; i < name.size();) {
        const size_t used = encode_game_char(name, i, tables, &field.codes);
        if (used == 0) {
            field.bad_char = i;
            return field;
        }
        i += used;
    }
    field.length = field.codes.size();
    if (field.length > field_length) return field;
    field.codes.resize(field_length, kBlankCode);
    field.ok = true;
    return field;
}

}  // namespace common
