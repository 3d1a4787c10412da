#include "games/b/chartables.h"
#include "games/b/techniques.h"

#include "common/bytes.h"
#include "common/names.h"
#include "common/records.h"
#include "games/b/layout.h"
#include "games/b/run.h"

namespace mt3 {

const char* tech_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{2, layout::kTechNames, &mt3::kCharTables};
    return names.get(kTable, index);
}

common::Result<std::vector<common::TechRecord>> load_techs(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kDifficulties, layout::kLearnTypes, layout::kLowTechRecords, layout::kHighTechRecords});
    if (!read) return read.error();
    const auto& [difficulties, learn_types, low, high] = *read;
    std::vector<common::TechRecord> techs(kTechCount);
    for (int i = 0; i < kTechHalf; ++i) {
        techs[i].learn_types = common::le16(learn_types.record(i));
        techs[i].derivation = layout::tech::kDerivation.get(low.record(i));
        techs[kTechHalf + i].evade = layout::tech::kEvade.get(high.record(i));
        techs[kTechHalf + i].difficulty = *difficulties.record(i);
    }
    return techs;
}

void write_tech_evade_data(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const common::TechRecord* techs = run.techs.data();
    common::write_evade_report(out, techs, kTechHalf, kTechCount - 1, 3, "No.       名前                   見切  難度\n",
                       common::NameLookup(names, tech_name));
}

}  // namespace mt3
