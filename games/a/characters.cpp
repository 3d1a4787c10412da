#include "games/a/characters.h"

#include <algorithm>
#include <numeric>

#include "common/bytes.h"
#include "common/chartables.h"
#include "common/labels.h"
#include "common/names.h"
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

// The eleven weapon and magic columns of a parameter row, in report order.
void column_values(const int32_t* weapons, const int32_t* magic, int* values) {
    for (int c = 0; c < 5; ++c) values[c] = weapons[kWeaponColumns[c]];
    for (int c = 0; c < 6; ++c) values[5 + c] = magic[kMagicColumns[c]];
}

// The values of a parameter row: "  ", then each value as "%3d" (from
// signed_from on as "%+3d") with ", " between them, then the line feed.
void print_param_values(common::ReportText& fp, const int* values, int count, int signed_from) {
    fp.str("  ");
    common::print_int_list(fp, values, signed_from, 3);
    if (signed_from > 0 && signed_from < count) fp.str(", ");
    common::print_int_list(fp, values + signed_from, count - signed_from, 3, true);
    fp.ch('\n');
}

// The flag reports of characters and special characters.
const char kFlagHeader[] = "No.       名前               女性 不死 ボス 飛行 種族      閃TYPE\n";

template <typename Record>
void print_flag_row(common::ReportText& fp, const Record& r) {
    print_body_flags(fp, r.body);
    fp.left(common::race_name(r.race, mt2::kLabels), 8).str("  TYPE").dec0(r.spark_type, 2).ch('\n');  // "%-8s  TYPE%02d\n"
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
    const common::NameTables& names = run.names;
    const CharacterRecord* characters = run.characters.data();
    common::write_row_report(
        out,
        "No.      名前                 LP 腕力 器用 魔力 不明 素早 体力   剣   槍   斧   弓 体術   火   水   風   地   "
        "天   冥\n",
        kCharacterCount, common::RowPrefix{2, 16, common::NameLookup(names, character_name)}, [&](common::ReportText& fp, int n) {
            const CharacterRecord& c = characters[n];
            // A kind or school the character cannot use shows the lowest aptitude.
            int32_t weapons[5];
            int32_t magic[6];
            for (int w = 0; w < 5; ++w) weapons[w] = c.weapons[w] ? c.weapon_aptitude : -7;
            for (int m = 0; m < 6; ++m) magic[m] = c.magic[m] ? c.magic_aptitude : -7;
            int values[18] = {c.lp};
            std::copy_n(c.abilities, kAbilityCount, values + 1);
            column_values(weapons, magic, values + 7);
            print_param_values(fp, values, 18, 7);
        });
}

void write_chrflag(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const CharacterRecord* characters = run.characters.data();
    common::write_row_report(out, kFlagHeader, kCharacterCount, common::RowPrefix{3, 16, common::NameLookup(names, character_name)},
                     [&](common::ReportText& fp, int n) { print_flag_row(fp, characters[n]); });
}

void write_chrspparam(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const SpecialCharacterRecord* specials = run.specials.data();
    common::write_row_report(
        out,
        "No.      名前                 LP   WP   JP 腕力 器用 魔力 不明 素早 体力   剣   槍   斧   弓 体術   火   水   "
        "風   地   天   冥\n",
        kSpecialCharacterCount, common::RowPrefix{2, 16, common::NameLookup(names, special_character_name)},
        [&](common::ReportText& fp, int n) {
            const SpecialCharacterRecord& s = specials[n];
            int values[20] = {s.lp, s.wp, s.jp};
            std::copy_n(s.abilities, kAbilityCount, values + 3);
            column_values(s.weapon_levels, s.magic_levels, values + 9);
            print_param_values(fp, values, 20, 20);
        });
}

void write_chrspflag(common::ReportText& out, const Run& run) {
    const common::NameTables& names = run.names;
    const SpecialCharacterRecord* specials = run.specials.data();
    common::write_row_report(out, kFlagHeader, kSpecialCharacterCount,
                     common::RowPrefix{3, 16, common::NameLookup(names, special_character_name)},
                     [&](common::ReportText& fp, int n) { print_flag_row(fp, specials[n]); });
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
