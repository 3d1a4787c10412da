// What the fuzz targets of the importers' readers of edited files share: the
// game that the input's first byte picks (bit 0), and the checks of a table
// read, which end the process when they fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "games/a/game.h"
#include "games/b/game.h"
#include "import/edited.h"

namespace fuzz {

inline void check(bool ok) {
    if (!ok) abort();
}

// The game that bit 0 of <first> picks, and its tables.
struct EditedGame {
    const exporter::ExporterInfo& info;
    const std::vector<exporter::Table>& tables;
};

inline EditedGame edited_game(uint8_t first) {
    static const std::vector<exporter::Table> tables[2] = {mt2::kExporter.describe(), mt3::kExporter.describe()};
    static const exporter::ExporterInfo* const games[2] = {&mt2::kExporter, &mt3::kExporter};
    const int game = first & 1;
    return {*games[game], tables[game]};
}

// One cell and one presence mark per column in every row of the table.
inline void check_rows(const importer::EditedTable& table) {
    for (size_t r = 0; r < table.row_count(); ++r) {
        const importer::EditedRow row = table.row(r);
        check(row.cells.size() == table.columns.size());
        check(row.present.size() == table.columns.size());
    }
}

}  // namespace fuzz
