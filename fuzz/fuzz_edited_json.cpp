// Fuzz target: an edited JSON document as the importers read it, turned into
// tables of text cells for either game.
//
// The first byte picks the game (bit 0), the rest is the document. Besides
// memory faults and exceptions that escape, the target checks that every
// table read has one cell (and one presence mark) per column in every row,
// and no spellings of its columns or one per column.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "games/a/game.h"
#include "games/b/game.h"
#include "import/edited.h"

namespace {

void check(bool ok) {
    if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const std::vector<exporter::Table> tables[2] = {mt2::kExporter.describe(), mt3::kExporter.describe()};
    static const exporter::ExporterInfo* const games[2] = {&mt2::kExporter, &mt3::kExporter};
    const int game = data[0] & 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const common::Result<importer::EditedDocument> read =
        importer::read_json_tables("edited.json", text, games[game]->game, tables[game]);
    if (!read) return 0;
    for (const importer::EditedTable& table : read->tables) {
        check(table.spelled.empty() || table.spelled.size() == table.columns.size());
        for (size_t r = 0; r < table.row_count(); ++r) {
            const importer::EditedRow row = table.row(r);
            check(row.cells.size() == table.columns.size());
            check(row.present.size() == table.columns.size());
        }
    }
    return 0;
}
