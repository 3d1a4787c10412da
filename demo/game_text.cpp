#include "demo/game_text.h"

#include "common/diag.h"
#include "common/gametext.h"

DemoBytes encode_game_text(const std::string& sjis, const CharTables& tables) {
    DemoBytes out;
    for (size_t i = 0; i < sjis.size();) {
        if (sjis[i] == '\n') {
            out.push_back(kLineEndCode);
            ++i;
            continue;
        }
        const size_t used = encode_game_char(sjis, i, tables, &out);
        if (used == 0) fatal("No game code for the character at byte %zu of \"%s\"", i, sjis.c_str());
        i += used;
    }
    return out;
}

DemoBytes name_field(const std::string& sjis, size_t field_length, const CharTables& tables) {
    NameField field = encode_name_field(sjis, field_length, tables);
    if (field.ok) return field.codes;
    if (field.length > field_length) fatal("Name \"%s\" is longer than %zu bytes", sjis.c_str(), field_length);
    fatal("No game code for the character at byte %zu of \"%s\"", field.bad_char, sjis.c_str());
}
