#include "analyzer_a/formations.h"

#include "analyzer_a/layout.h"
#include "analyzer_a/run.h"
#include "common/records.h"
#include "common/chartables.h"
#include "common/names.h"

namespace mt2 {

namespace {

// A formation record holds five 3-byte member entries and one unused byte.
constexpr int kEntrySize = 3;

}  // namespace

const char* formation_name(const NameTables& names, int index) {
    static constexpr NameTableKind kTable{3, layout::kFormationNames, &kGameACharTables};
    return names.get(kTable, index);
}

common::Result<std::vector<FormationEntry>> load_formations(const RomImage& image) {
    const auto read = read_tables(image, {layout::kFormationRecords});
    if (!read) return read.error();
    const auto& [records] = *read;
    std::vector<FormationEntry> formations(kFormationCount * kFormationMembers);
    for (int n = 0; n < kFormationCount; ++n) {
        for (int p = 0; p < kFormationMembers; ++p) {
            const unsigned char* e = records.record(n) + kEntrySize * p;
            formations[n * kFormationMembers + p] = decode_formation_flags(e[1] - e[0] + 1, e[2]);
        }
    }
    return formations;
}

void write_formdata(ReportText& out, const Run& run) {
    const NameTables& names = run.names;
    const FormationEntry* formations = run.formations.data();
    write_formation_report(out, formations, kFormationCount, NameLookup(names, formation_name), true);
}

}  // namespace mt2
