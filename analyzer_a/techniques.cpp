#include "analyzer_a/techniques.h"

#include <iterator>

#include "analyzer_a/layout.h"
#include "analyzer_a/run.h"
#include "common/bytes.h"
#include "common/chartables.h"
#include "common/names.h"
#include "common/records.h"

namespace mt2 {

namespace {

// Techniques 0..10 are not named in the ROM the way they are used: the
// ordinary attack of each weapon kind and the two potions.
const char* const kFixedNames[] = {
    "(通常攻撃: 剣)", "(通常攻撃: 大剣)", "(通常攻撃: 斧)", "(通常攻撃: 棍棒)",
    "(通常攻撃: 槍)", "(通常攻撃: 小剣)", "(通常攻撃: 弓)", "(通常攻撃: 爪)",
    "(傷薬)",         "(高級傷薬)",       "(通常攻撃: パンチ)",
};
constexpr int kFixedNameCount = static_cast<int>(std::size(kFixedNames));
static_assert(kFixedNameCount == kFixedTechNames);

}  // namespace

const char* tech_name(const NameTables& names, int index) {
    static constexpr NameTableKind kTable{2, layout::kTechNames, &kGameACharTables};
    if (index >= 0 && index < kFixedNameCount) return kFixedNames[index];
    return names.get(kTable, index);
}

common::Result<std::vector<TechRecord>> load_techs(const RomImage& image) {
    const auto read = read_tables(image, {layout::kDifficulties, layout::kLearnTypes});
    if (!read) return read.error();
    // Named one by one: a lambda may not capture a structured binding in clang 14.
    const RomTable& difficulty = (*read)[0];
    const RomTable& learn_types = (*read)[1];
    return load_records<TechRecord>(image,layout::kTechRecords, [&](TechRecord& t, const unsigned char* r, int i) {
        t.difficulty = *difficulty.record(i);
        t.learn_types = le16(learn_types.record(i));
        t.derivation = layout::tech::kDerivation.get(r);
        t.evade = layout::tech::kEvade.get(r);
    });
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
    write_evade_report(out, techs, 0, kTechCount - 1, 2, "No.      名前                   見切  難度\n",
                       NameLookup(names, tech_name));
}

}  // namespace mt2
