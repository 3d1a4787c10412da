#include "games/a/characters.h"

#include <algorithm>
#include <initializer_list>
#include <numeric>

#include "common/bytes.h"
#include "common/chartables.h"
#include "common/labels.h"
#include "common/names.h"
#include "common/record_rows.h"
#include "common/records.h"
#include "common/report.h"
#include "common/rows.h"
#include "games/a/chartables.h"
#include "games/a/labels.h"
#include "games/a/layout.h"
#include "games/a/run.h"

namespace mt2 {

namespace {

// The 16 special character names follow the 256 character names directly, so
// one cache holds both tables and one first lookup fills them together.
static_assert(layout::kSpecialNames.offset == layout::kCharacterNames.end());
constexpr int kPointCap = 250;

// The reports list the weapon kinds as sword, spear, axe, bow, martial arts
// and the magic schools as fire, water, wind, earth, heaven, underworld:
// indices into the record's arrays.
constexpr int kWeaponColumns[5] = {0, 2, 1, 3, 4};
constexpr int kMagicColumns[6] = {0, 1, 3, 2, 4, 5};

// Name n of the combined table: characters 0..255, then special characters.
const char* character_table_name(const common::NameTables& names, int n) {
    static constexpr common::NameTableKind kTable{4,
                                          {"character and special character names", layout::kCharacterNames.offset,
                                           layout::kCharacterNames.record_size, kCharacterCount + kSpecialCharacterCount},
                                          &mt2::kCharTables};
    return names.get(kTable, n);
}

void decode_abilities(const unsigned char* r, int32_t* abilities) {
    for (int a = 0; a < kAbilityCount; ++a) abilities[a] = layout::body::kAbilities[a].get(r);
}

// Sum of the levels plus twice the largest, the bonus when the largest is
// above 0, capped.
int points(const int32_t* levels, int count, int bonus) {
    const int32_t largest = *std::max_element(levels, levels + count);
    const int32_t sum = std::accumulate(levels, levels + count, 0);
    return common::cap(sum + 2 * largest + (largest > 0 ? bonus : 0), kPointCap);
}

// A parameter row: "  ", the leading values, the six abilities, then the
// weapon and magic columns in report order, each as "%3d" (the columns as
// "%+3d" where signed_columns), with ", " between them, then the line feed.
void print_param_row(common::ReportText& fp, std::initializer_list<int> lead, const int32_t* abilities,
                     const int32_t* weapons, const int32_t* magic, bool signed_columns) {
    int values[3 + kAbilityCount];
    const int leads = static_cast<int>(std::copy(lead.begin(), lead.end(), values) - values);
    std::copy_n(abilities, kAbilityCount, values + leads);
    int columns[11];
    for (int c = 0; c < 5; ++c) columns[c] = weapons[kWeaponColumns[c]];
    for (int c = 0; c < 6; ++c) columns[5 + c] = magic[kMagicColumns[c]];
    fp.str("  ");
    common::print_int_list(fp, values, leads + kAbilityCount, 3);
    fp.str(", ");
    common::print_int_list(fp, columns, 11, 3, signed_columns);
    fp.ch('\n');
}

// The parameter reports of characters and special characters.
const char kParamHeader[] =
    "No.      名前                 LP 腕力 器用 魔力 不明 素早 体力   剣   槍   斧   弓 体術   火   水   風   地   "
    "天   冥\n";
const char kSpecialParamHeader[] =
    "No.      名前                 LP   WP   JP 腕力 器用 魔力 不明 素早 体力   剣   槍   斧   弓 体術   火   水   "
    "風   地   天   冥\n";

// A character's aptitudes: a kind or school the character cannot use shows
// the lowest aptitude.
void print_character_params(common::ReportText& fp, const CharacterRecord& c) {
    int32_t weapons[5];
    int32_t magic[6];
    for (int w = 0; w < 5; ++w) weapons[w] = c.weapons[w] ? c.weapon_aptitude : -7;
    for (int m = 0; m < 6; ++m) magic[m] = c.magic[m] ? c.magic_aptitude : -7;
    print_param_row(fp, {c.lp}, c.abilities, weapons, magic, true);
}

// A special character's levels.
void print_special_params(common::ReportText& fp, const SpecialCharacterRecord& s) {
    print_param_row(fp, {s.lp, s.wp, s.jp}, s.abilities, s.weapon_levels, s.magic_levels, false);
}

// The flag reports of characters and special characters.
const char kFlagHeader[] = "No.       名前               女性 不死 ボス 飛行 種族      閃TYPE\n";

template <typename Record>
void write_flag_report(common::ReportText& out, const std::vector<Record>& records, common::NameLookup name) {
    common::write_record_rows(out, kFlagHeader, records, common::RowPrefix{3, 16, name},
                              [](common::ReportText& fp, const Record& r) {
                                  print_body_flags(fp, r.body);
                                  // "%-8s  TYPE%02d\n"
                                  fp.left(common::race_name(r.race, mt2::kLabels), 8).str("  TYPE").dec0(r.spark_type, 2).ch('\n');
                              });
}

struct LevelSection {
    const char* title;
    int first;
    int count;
};
constexpr LevelSection kLevelSections[] = {
    {"[技能レベル]\n", 0, kSkillLevels},
    {"[全体技能レベル]\n", kSkillLevels, kOverallSkillLevels},
};

}  // namespace

const char* character_name(const common::NameTables& names, int index) {
    return index < kCharacterCount ? character_table_name(names, index) : "";
}

const char* special_character_name(const common::NameTables& names, int index) {
    return index >= 0 && index < kSpecialCharacterCount ? character_table_name(names, kCharacterCount + index) : "";
}

common::Result<std::vector<CharacterRecord>> load_characters(const common::RomImage& image) {
    return common::load_records<CharacterRecord>(image,layout::kCharacterRecords, [](CharacterRecord& c, const unsigned char* r, int) {
        namespace f = layout::character;
        c.lp = f::kLp.get(r);
        decode_abilities(r, c.abilities);
        c.weapon_aptitude = f::kWeaponAptitude.get(r);
        c.magic_aptitude = f::kMagicAptitude.get(r);
        c.spark_type = f::kSparkType.get(r);
        for (int w = 0; w < 5; ++w) c.weapons[w] = f::kWeapons[w].get(r);
        for (int m = 0; m < 6; ++m) c.magic[m] = f::kMagic[m].get(r);
        c.body = decode_body_flags(r);
        c.race = layout::body::kRace.get(r);
    });
}

common::Result<std::vector<SpecialCharacterRecord>> load_special_characters(const common::RomImage& image) {
    return common::load_records<SpecialCharacterRecord>(image,
        layout::kSpecialRecords, [](SpecialCharacterRecord& s, const unsigned char* r, int) {
            namespace f = layout::special;
            s.lp = f::kLp.get(r);
            for (int w = 0; w < 5; ++w) s.weapon_levels[w] = f::kWeaponLevels[w].get(r);
            for (int m = 0; m < 6; ++m) s.magic_levels[m] = f::kMagicLevels[m].get(r);
            s.wp = points(s.weapon_levels, 5, 0);
            s.jp = points(s.magic_levels, 6, 5);
            decode_abilities(r, s.abilities);
            s.spark_type = f::kSparkType.get(r);
            s.body = decode_body_flags(r);
            s.race = layout::body::kRace.get(r);
        });
}

common::Result<std::vector<int32_t>> load_level_tables(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kSkillLevels, layout::kOverallSkillLevels});
    if (!read) return read.error();
    const auto& [skill, overall] = *read;
    std::vector<int32_t> levels(kSkillLevels + kOverallSkillLevels);
    for (int k = 0; k < kSkillLevels; ++k) levels[k] = common::le16(skill.record(k));
    for (int k = 0; k < kOverallSkillLevels; ++k) levels[kSkillLevels + k] = common::le16(overall.record(k));
    return levels;
}

void write_chrparam(common::ReportText& out, const Run& run) {
    common::write_record_rows(out, kParamHeader, run.characters,
                              common::RowPrefix{2, 16, common::NameLookup(run.names, character_name)}, print_character_params);
}

void write_chrflag(common::ReportText& out, const Run& run) {
    write_flag_report(out, run.characters, common::NameLookup(run.names, character_name));
}

void write_chrspparam(common::ReportText& out, const Run& run) {
    common::write_record_rows(out, kSpecialParamHeader, run.specials,
                              common::RowPrefix{2, 16, common::NameLookup(run.names, special_character_name)},
                              print_special_params);
}

void write_chrspflag(common::ReportText& out, const Run& run) {
    write_flag_report(out, run.specials, common::NameLookup(run.names, special_character_name));
}

void write_chrlvup(common::ReportText& out, const Run& run) {
    const int32_t* levels = run.levels.data();
    common::BlockSeparator separator;
    for (const LevelSection& section : kLevelSections) {
        separator.next(out);
        out.str(section.title);
        out.str("LV  技術点\n");
        for (int k = 0; k < section.count; ++k) {
            out.dec(k + 1, 2).str(":  ").dec(levels[section.first + k], 5).ch('\n');  // "%2d:  %5ld\n"
        }
    }
}

}  // namespace mt2
