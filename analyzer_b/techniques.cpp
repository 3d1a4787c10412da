#include "analyzer_b/techniques.h"

#include "analyzer_b/layout.h"
#include "analyzer_b/run.h"
#include "common/records.h"
#include "common/bytes.h"
#include "common/names.h"

namespace mt3 {

const char* tech_name(const NameTables& names, int index) {
    static constexpr NameTableKind kTable{2, layout::kTechNames, &kGameBCharTables};
    return names.get(kTable, index);
}

common::Result<std::vector<TechRecord>> load_techs(const RomImage& image) {
    const auto read = read_tables(image, {layout::kDifficulties, layout::kLearnTypes, layout::kLowTechRecords, layout::kHighTechRecords});
    if (!read) return read.error();
    const auto& [difficulties, learn_types, low, high] = *read;
    std::vector<TechRecord> techs(kTechCount);
    for (int i = 0; i < kTechHalf; ++i) {
        techs[i].learn_types = le16(learn_types.record(i));
        techs[i].derivation = layout::tech::kDerivation.get(low.record(i));
        techs[kTechHalf + i].evade = layout::tech::kEvade.get(high.record(i));
        techs[kTechHalf + i].difficulty = *difficulties.record(i);
    }
    return techs;
}

common::Result<TechLearning> load_tech_learning(const RomImage& image) { return load_learning_lists(image, layout::kLearningList1.offset, layout::kLearningList2.offset); }

void write_tech_learn_flag(ReportText& out, const Run& run) {
    const NameTables& names = run.names;
    const TechRecord* techs = run.techs.data();
    write_learn_flag_report(out, techs, NameLookup(names, tech_name));
}

void write_tech_learn_data(ReportText& out, const Run& run) {
    const NameTables& names = run.names;
    const TechLearning* learning = &run.learning;
    write_learning_report(out, learning, NameLookup(names, tech_name));
}

void write_tech_evade_data(ReportText& out, const Run& run) {
    const NameTables& names = run.names;
    const TechRecord* techs = run.techs.data();
    write_evade_report(out, techs, kTechHalf, kTechCount - 1, 3, "No.       名前                   見切  難度\n",
                       NameLookup(names, tech_name));
}

}  // namespace mt3
