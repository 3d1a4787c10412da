// Fuzz target: an edited JSON document as the importers read it, turned into
// tables of text cells for either game.
//
// The first byte picks the game (bit 0), the rest is the document. Besides
// memory faults and exceptions that escape, the target checks that every
// table read has one cell (and one presence mark) per column in every row,
// and no spellings of its columns or one per column.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/edited_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const fuzz::EditedGame game = fuzz::edited_game(data[0]);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const common::Result<importer::EditedDocument> read =
        importer::read_json_tables("edited.json", text, game.info.game, game.tables);
    if (!read) return 0;
    for (const importer::EditedTable& table : read->tables) {
        fuzz::check(table.spelled.empty() || table.spelled.size() == table.columns.size());
        fuzz::check_rows(table);
    }
    return 0;
}
