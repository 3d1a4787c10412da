#include "demo/game_text.h"

#include <string>

#include "common/error.h"
#include "common/gametext.h"

namespace demo {

namespace {

// A literal that the game cannot hold is the generator's own fault: it ends
// the generator with this error.
[[noreturn]] void no_code(size_t at, const std::string& sjis) {
    throw common::Error("No game code for the character at byte " + std::to_string(at) + " of \"" + sjis + "\"");
}

}  // namespace

DemoBytes encode_game_text(const std::string& sjis, const common::CharTables& tables) {
    DemoBytes out;
    for (size_t i = 0; i < sjis.size();) {
        if (sjis[i] == '\n') {
            out.push_back(kLineEndCode);
            ++i;
            continue;
        }
        const size_t used = common::encode_game_char(sjis, i, tables, &out);
        if (used == 0) no_code(i, sjis);
        i += used;
    }
    return out;
}

DemoBytes name_field(const std::string& sjis, size_t field_length, const common::CharTables& tables) {
    common::NameField field = common::encode_name_field(sjis, field_length, tables);
    if (field.ok) return field.codes;
    if (field.length > field_length) {
        throw common::Error("Name \"" + sjis + "\" is longer than " + std::to_string(field_length) + " bytes");
    }
    no_code(field.bad_char, sjis);
}

}  // namespace demo
