#include "analyzer_b/techniques.h"

#include "common/block.h"
#include "common/bytes.h"
#include "common/namecache.h"

namespace mt3 {

namespace {

constexpr long kTechNames = 0x3D27C0;
constexpr int kTechNameLength = 10;
// The 14-byte records of techniques 0-255 are followed directly by the 16-byte
// records of techniques 256-511.
constexpr long kTechRecords = 0x3E0F00;
constexpr size_t kLowRecordSize = 14;
constexpr size_t kHighRecordSize = 16;
constexpr long kLearnTypes = 0x3E353F;
constexpr long kDifficulties = 0x3E3D4B;
constexpr long kLearningList1 = 0x3E3A4B;
constexpr long kLearningList2 = 0x3E3F1B;

}  // namespace

const char* tech_name(int index) {
    static NameCache names(kTechNames, kTechCount, kTechNameLength, kGameBCharTables);
    return names.get(index);
}

TechRecord* load_techs() {
    RomTable difficulties(kDifficulties, 1, kTechHalf);
    RomTable learn_types(kLearnTypes, 2, kTechHalf);
    RomTable records(kTechRecords, kTechHalf * (kLowRecordSize + kHighRecordSize), 1);
    TechRecord* techs = alloc_block<TechRecord>(kTechCount);
    const unsigned char* low = records.record(0);
    const unsigned char* high = low + kTechHalf * kLowRecordSize;
    for (int i = 0; i < kTechHalf; ++i) {
        techs[i].learn_types = le16(learn_types.record(i));
        techs[i].derivation = bit(low[i * kLowRecordSize + 6], 7);
        techs[kTechHalf + i].evade = bit(high[i * kHighRecordSize + 6], 3);
        techs[kTechHalf + i].difficulty = *difficulties.record(i);
    }
    return techs;
}

TechLearning* load_tech_learning() { return load_learning_lists(kLearningList1, kLearningList2); }

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
