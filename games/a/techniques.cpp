#include "games/a/chartables.h"
#include "games/a/techniques.h"

#include <iterator>

#include "common/bytes.h"
#include "common/chartables.h"
#include "common/names.h"
#include "common/records.h"
#include "games/a/layout.h"
#include "games/a/run.h"

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

const char* tech_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{2, layout::kTechNames, &mt2::kCharTables};
    if (index >= 0 && index < kFixedNameCount) return kFixedNames[index];
    return names.get(kTable, index);
}

common::Result<std::vector<common::TechRecord>> load_techs(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kDifficulties, layout::kLearnTypes});
    if (!read) return read.error();
    // Named one by one: a lambda may not capture a structured binding in clang 14.
    const common::RomTable& difficulty = (*read)[0];
    const common::RomTable& learn_types = (*read)[1];
    return common::load_records<common::TechRecord>(image,layout::kTechRecords, [&](common::TechRecord& t, const unsigned char* r, int i) {
        t.difficulty = *difficulty.record(i);
        t.learn_types = common::le16(learn_types.record(i));
        t.derivation = layout::tech::kDerivation.get(r);
        t.evade = layout::tech::kEvade.get(r);
    });
}

void write_tech_evade_data(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const common::TechRecord* techs = run.techs.data();
    common::write_evade_report(out, techs, 0, kTechCount - 1, 2, "No.      名前                   見切  難度\n",
                       common::NameLookup(names, tech_name));
}

}  // namespace mt2
