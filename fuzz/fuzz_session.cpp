// Fuzz target: a session on a game's demo image edited by a sequence of
// cells: any table, record ("index" or "parent/index", in range or not), key
// and value text. Besides memory faults, the target checks that a refusal
// names the cell it was given and has words, that the changes are one JSON
// array, and that the files are the image's size with a BPS patch.
//
// The first byte picks the game (bit 0) and whether the changes (bit 6)
// and the files (bit 7) are made; then each edit is four bytes (the
// table, the record, the key, the value's length) and the value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "demo/demo.h"
#include "games/a/demo.h"
#include "games/b/demo.h"
#include "tools/session_games.h"

namespace {

void check(bool ok) {
    if (!ok) abort();
}

const compare::ByteVector& demo_image(int game) {
    static const compare::ByteVector images[2] = {mt2::make_demo().image.file_bytes(demo::kDemoCopierHeaderSize),
                                                   mt3::make_demo().image.file_bytes(demo::kDemoCopierHeaderSize)};
    return images[game];
}

// A record of the table: mostly one near the start (the demo's tables hold
// more), sometimes one far past the end or a text that is no index.
std::string record_of(const session::SchemaTable& t, uint8_t pick) {
    if (pick == 255) return "x/";
    if (pick == 254) return t.parent.empty() ? "99999" : "0/99999";
    const int n = pick;
    return t.parent.empty() ? std::to_string(n - 1) : std::to_string(n % 16) + "/" + std::to_string(n / 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int game = data[0] & 1;
    const auto& parts = tools::session_games()[static_cast<size_t>(game)].part;
    auto opened = session::Session::open("demo.smc", demo_image(game), parts);
    check(opened.ok());
    session::Session& s = **opened;
    const std::vector<session::SchemaTable>& schema = s.schema();
    for (size_t at = 1; at + 4 <= size;) {
        const session::SchemaTable& t = schema[data[at] % schema.size()];
        const std::string index = record_of(t, data[at + 1]);
        const std::string key = data[at + 2] == 255 ? "no_such_key" : t.columns[data[at + 2] % t.columns.size()].key;
        const size_t length = std::min<size_t>(data[at + 3], size - at - 4);
        const std::string value(reinterpret_cast<const char*>(data + at + 4), length);
        at += 4 + length;
        const std::optional<session::Refusal> refused = s.set(t.name, index, key, value);
        if (refused) check(refused->table == t.name && refused->index == index && refused->key == key &&
                           refused->value == value && !refused->message.empty());
    }
    // The changes and the files take most of a run: asked for by bits 6 and 7.
    if (data[0] & 0x40) check(nlohmann::json::parse(s.changes_json(), nullptr, false).is_array());
    if (data[0] & 0x80) {
        const session::Files files = s.files({});
        check(files.image.size() == demo_image(game).size());
        check(files.bps.size() > 4 && files.bps[0] == 'B');
    }
    return 0;
}
