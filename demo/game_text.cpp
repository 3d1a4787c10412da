#include "demo/game_text.h"

#include "common/diag.h"

namespace {

constexpr unsigned kFirstSingleCode = 0x50;  // codes below are unused or lead bytes

// Whether the table entry stands in text at byte at. Every entry is one
// character, and neither Shift-JIS nor UTF-8 lets one character begin another,
// so the first entry that matches is the character there.
bool stands_at(const std::string& text, size_t at, const char* entry) {
    return text.compare(at, std::char_traits<char>::length(entry), entry) == 0;
}

// Appends the code of the character at byte at and returns its length in
// bytes, or 0 when the game has no code for it.
size_t encode_char(const std::string& text, size_t at, const CharTables& tables, DemoBytes* out) {
    for (unsigned code = kFirstSingleCode; code < 256; ++code) {
        if (!stands_at(text, at, tables.single[code])) continue;
        out->push_back(static_cast<uint8_t>(code));
        return std::char_traits<char>::length(tables.single[code]);
    }
    for (unsigned code = 0; code < 1024; ++code) {
        if (!stands_at(text, at, tables.dbl[code])) continue;
        out->push_back(static_cast<uint8_t>(kFirstLeadByte + code / 256));
        out->push_back(static_cast<uint8_t>(code % 256));
        return std::char_traits<char>::length(tables.dbl[code]);
    }
    return 0;
}

}  // namespace

DemoBytes encode_game_text(const std::string& sjis, const CharTables& tables) {
    DemoBytes out;
    for (size_t i = 0; i < sjis.size();) {
        if (sjis[i] == '\n') {
            out.push_back(kLineEndCode);
            ++i;
            continue;
        }
        const size_t used = encode_char(sjis, i, tables, &out);
        if (used == 0) fatal("No game code for the character at byte %zu of \"%s\"", i, sjis.c_str());
        i += used;
    }
    return out;
}

DemoBytes name_field(const std::string& sjis, size_t field_length, const CharTables& tables) {
    DemoBytes field = encode_game_text(sjis, tables);
    if (field.size() > field_length) fatal("Name \"%s\" is longer than %zu bytes", sjis.c_str(), field_length);
    field.resize(field_length, kBlankCode);
    return field;
}
