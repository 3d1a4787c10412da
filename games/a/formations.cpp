#include "games/a/chartables.h"
#include "games/a/formations.h"

#include "common/chartables.h"
#include "common/names.h"
#include "common/records.h"
#include "games/a/layout.h"
#include "games/a/run.h"

namespace mt2 {

static_assert(layout::formation::kMembers.count == common::kFormationMembers);

const char* formation_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{3, layout::kFormationNames, &mt2::kCharTables};
    return names.get(kTable, index);
}

common::Result<std::vector<common::FormationEntry>> load_formations(const common::RomImage& image) {
    return common::load_formation_members(image, layout::kFormationRecords, layout::formation::rate,
                                          layout::formation::flag_byte);
}

void write_formdata(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const common::FormationEntry* formations = run.formations.data();
    common::write_formation_report(out, formations, kFormationCount, common::NameLookup(names, formation_name), true);
}

}  // namespace mt2
