// Fuzz target: an edited CSV file as the importers read it, split into
// records and matched with a table of either game by its file name and
// header.
//
// The first byte picks the game (bit 0); the input up to the first line feed
// after it is the file's name, the rest its text. Besides memory faults, the
// target checks that the records' lines only grow, that no record is blank,
// and that a table read has one spelling per column and one cell (and one
// presence mark) per column in every row.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/edited_checks.h"

namespace {

using fuzz::check;

void check_records(const std::vector<importer::CsvRecord>& records) {
    int line = 1;
    for (const importer::CsvRecord& r : records) {
        check(r.line >= line);
        line = r.line;
        bool blank = true;
        for (const std::string& f : r.fields) blank = blank && f.empty();
        check(!blank);
    }
}

void check_table(const importer::EditedTable& table) {
    check(table.spelled.size() == table.columns.size());
    fuzz::check_rows(table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const fuzz::EditedGame game = fuzz::edited_game(data[0]);
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t end = input.find('\n');
    const std::string name = end == std::string::npos ? input : input.substr(0, end);
    const std::string text = end == std::string::npos ? std::string() : input.substr(end + 1);

    const common::Result<std::vector<importer::CsvRecord>> records = importer::parse_csv(text);
    if (records) check_records(*records);
    const common::Result<importer::EditedTable> table =
        importer::read_csv_table("edited/" + name, text, game.info.prefix, game.tables);
    if (table) check_table(*table);
    return 0;
}
