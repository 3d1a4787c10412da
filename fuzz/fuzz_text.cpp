// Fuzz target: game text conversion and the decoder's block conversion on
// arbitrary bytes, for both games' tables.
//
// The first byte picks the game and the name slot size; the rest is game text.
// Besides memory faults, the target checks properties that must hold for any
// input: names are terminated, never split a double-byte character and never
// end in a blank; block decoding in two pieces equals decoding in one piece.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/chartables.h"
#include "common/gametext.h"
#include "decoder/decode.h"
#include "games/a/chartables.h"
#include "games/b/chartables.h"

namespace {

void check(bool ok) {
    if (!ok) abort();
}

bool is_sjis_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// A fuzz build made with a compiler that cannot encode literals as code page
// 932 carries UTF-8 tables; the character-boundary property is Shift-JIS only.
bool tables_are_sjis() { return static_cast<unsigned char>(mt2::kCharTables.single[0][0]) == 0x81; }

// A name cut to its slot is a prefix of the whole name, ends at a character
// boundary and loses at most the one double-byte character that did not fit.
void check_name(const char* name, size_t size, const std::string& whole) {
    const size_t len = strnlen(name, size);
    check(len < size);
    check(whole.compare(0, len, name, len) == 0);
    check(len == whole.size() || len + 2 >= size);
    check(whole.empty() || whole.back() != ' ');
    if (!tables_are_sjis()) return;
    size_t i = 0;
    while (i < len) i += is_sjis_lead(static_cast<unsigned char>(name[i])) ? 2 : 1;
    check(i == len);
}

void check_block_decoding(const uint8_t* text, size_t length, const common::CharTables& game) {
    const decoder::PackedTables tables = decoder::pack_tables(game);
    std::vector<char> whole(4 * length + 4), parts(4 * length + 4);
    size_t used_whole = 0;
    const size_t n = decoder::decode_block(text, length, whole.data(), &used_whole, tables);
    // Decode again in two pieces, carrying an unconsumed lead byte over.
    const size_t cut = length / 2;
    size_t used1 = 0;
    size_t n1 = decoder::decode_block(text, cut, parts.data(), &used1, tables);
    size_t used2 = 0;
    const size_t n2 = decoder::decode_block(text + used1, length - used1, parts.data() + n1, &used2, tables);
    check(used1 + used2 == used_whole);
    check(n1 + n2 == n && memcmp(whole.data(), parts.data(), n) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const common::CharTables& tables = (data[0] & 1) ? mt3::kCharTables : mt2::kCharTables;
    const size_t slot = 1 + (data[0] >> 1);  // 1..128 bytes
    const uint8_t* text = data + 1;
    const size_t length = size - 1;

    if (length > 0) {
        std::vector<char> whole(4 * length + 1);
        common::convert_game_text(whole.data(), text, whole.size(), length, tables);
        std::vector<char> name(slot, 'x');
        common::convert_game_text(name.data(), text, slot, length, tables);
        check_name(name.data(), slot, std::string(whole.data()));
    }

    check_block_decoding(text, length, tables);
    return 0;
}
