#include "analyzer_b/formations.h"

#include "analyzer_b/layout.h"
#include "analyzer_b/run.h"
#include "common/records.h"
#include "common/names.h"

namespace mt3 {

static_assert(layout::formation::kMembers == kFormationMembers);

const char* formation_name(const NameTables& names, int index) {
    static constexpr NameTableKind kTable{3, layout::kFormationNames, &kGameBCharTables};
    return names.get(kTable, index);
}

// The bound bytes are cumulative: a member's selection rate is its bound minus
// the bound before it.
common::Result<std::vector<FormationEntry>> load_formations(const RomImage& image) {
    const auto read = read_tables(image, {layout::kFormationRecords});
    if (!read) return read.error();
    const auto& [records] = *read;
    std::vector<FormationEntry> formations(kFormationCount * kFormationMembers);
    namespace f = layout::formation;
    for (int n = 0; n < kFormationCount; ++n) {
        const unsigned char* r = records.record(n);
        for (int p = 0; p < kFormationMembers; ++p) {
            formations[n * kFormationMembers + p] = decode_formation_member(f::rate(r, p), r + f::flag_byte(p));
        }
    }
    return formations;
}

void write_formdata(ReportText& out, const Run& run) {
    const NameTables& names = run.names;
    const FormationEntry* formations = run.formations.data();
    write_formation_report(out, formations, kFormationCount, NameLookup(names, formation_name), false);
}

}  // namespace mt3
