#include "games/b/chartables.h"
#include "games/b/formations.h"

#include "common/names.h"
#include "common/records.h"
#include "games/b/layout.h"
#include "games/b/run.h"

namespace mt3 {

static_assert(layout::formation::kMembers == common::kFormationMembers);

const char* formation_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{3, layout::kFormationNames, &mt3::kCharTables};
    return names.get(kTable, index);
}

// The bound bytes are cumulative: a member's selection rate is its bound minus
// the bound before it.
common::Result<std::vector<common::FormationEntry>> load_formations(const common::RomImage& image) {
    return common::load_formation_members(image, layout::kFormationRecords, layout::formation::rate,
                                          layout::formation::flag_byte);
}

void write_formdata(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const common::FormationEntry* formations = run.formations.data();
    common::write_formation_report(out, formations, kFormationCount, common::NameLookup(names, formation_name), false);
}

}  // namespace mt3
