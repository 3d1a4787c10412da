#include "analyzer_b/techniques.h"

#include "analyzer_b/layout.h"
#include "common/block.h"
#include "common/bytes.h"
#include "common/namecache.h"

namespace mt3 {

const char* tech_name(int index) {
    static NameCache names(layout::kTechNames, kGameBCharTables);
    return names.get(index);
}

TechRecord* load_techs() {
    RomTable difficulties(layout::kDifficulties);
    RomTable learn_types(layout::kLearnTypes);
    RomTable low(layout::kLowTechRecords);
    RomTable high(layout::kHighTechRecords);
    TechRecord* techs = alloc_block<TechRecord>(kTechCount);
    for (int i = 0; i < kTechHalf; ++i) {
        techs[i].learn_types = le16(learn_types.record(i));
        techs[i].derivation = layout::tech::kDerivation.get(low.record(i));
        techs[kTechHalf + i].evade = layout::tech::kEvade.get(high.record(i));
        techs[kTechHalf + i].difficulty = *difficulties.record(i);
    }
    return techs;
}

TechLearning* load_tech_learning() { return load_learning_lists(layout::kLearningList1.offset, layout::kLearningList2.offset); }

int write_tech_learn_flag(const char* path, const TechRecord* techs) {
    return write_learn_flag_report(path, techs, tech_name);
}

int write_tech_learn_data(const char* path, const TechLearning* learning) {
    return write_learning_report(path, learning, tech_name);
}

int write_tech_evade_data(const char* path, const TechRecord* techs) {
    return write_evade_report(path, techs, kTechHalf, kTechCount - 1, 3,
                              "No.       名前                   見切  難度\n", tech_name);
}

}  // namespace mt3
