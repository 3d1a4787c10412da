#include "game_text.h"

#include "diag.h"

namespace {

constexpr unsigned kFirstSingleCode = 0x50;  // codes below are unused or lead bytes

// A Shift-JIS lead byte starts a double-byte character.
bool is_sjis_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool find_single(const std::string& ch, const CharTables& tables, DemoBytes* out) {
    for (unsigned code = kFirstSingleCode; code < 256; ++code) {
        if (ch != tables.single[code]) continue;
        out->push_back(static_cast<uint8_t>(code));
        return true;
    }
    return false;
}

bool find_double(const std::string& ch, const CharTables& tables, DemoBytes* out) {
    for (unsigned code = 0; code < 1024; ++code) {
        if (ch != tables.dbl[code]) continue;
        out->push_back(static_cast<uint8_t>(kFirstLeadByte + code / 256));
        out->push_back(static_cast<uint8_t>(code % 256));
        return true;
    }
    return false;
}

}  // namespace

DemoBytes encode_game_text(const std::string& sjis, const CharTables& tables) {
    DemoBytes out;
    for (size_t i = 0; i < sjis.size();) {
        const size_t width = is_sjis_lead(static_cast<unsigned char>(sjis[i])) ? 2 : 1;
        const std::string ch = sjis.substr(i, width);
        if (ch == "\n") {
            out.push_back(kLineEndCode);
        } else if (!find_single(ch, tables, &out) && !find_double(ch, tables, &out)) {
            fatal("No game code for the character at byte %zu of \"%s\"", i, sjis.c_str());
        }
        i += width;
    }
    return out;
}

DemoBytes name_field(const std::string& sjis, size_t field_length, const CharTables& tables) {
    DemoBytes field = encode_game_text(sjis, tables);
    if (field.size() > field_length) fatal("Name \"%s\" is longer than %zu bytes", sjis.c_str(), field_length);
    field.resize(field_length, kBlankCode);
    return field;
}
