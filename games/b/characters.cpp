#include "games/b/characters.h"

#include "common/bytes.h"
#include "common/labels.h"
#include "common/names.h"
#include "common/record_rows.h"
#include "common/records.h"
#include "common/rows.h"
#include "games/b/chartables.h"
#include "games/b/layout.h"
#include "games/b/run.h"

namespace mt3 {

namespace {


// Characters 41-46 carry the names 0-5 again, character 47 name 16.
constexpr int kRepeatedFirst = 41;
constexpr int kLastCharacter = 47;
constexpr int kLastCharacterName = 16;


// Name tables of the flag report.
const char* const kGuardianStars[kGuardianStarCount] = {"歳星", "螢惑", "鎮星", "太白", "辰星"};
const char* const kWeapons[kWeaponKindCount] = {"剣", "大剣", "斧", "棍棒", "小剣", "槍", "弓", "体術", "なし"};
const char* const kArts[kArtsCount] = {"蒼龍", "朱鳥", "太陽", "白虎", "玄武"};

template <size_t N>
const char* table_name(const char* const (&table)[N], int index) {
    return (index >= 0 && static_cast<size_t>(index) < N) ? table[index] : "";
}

common::RowPrefix character_prefix(const common::NameTables& names) { return {3, 16, common::NameLookup(names, character_name)}; }

// An arts byte: bits 6..5 the school, bits 4..0 the level in it. Schools past
// the table's end take no level.
void decode_school(int32_t* levels, int schools, int byte) {
    const int school = common::bits(byte, 6, 5);
    if (school < schools) levels[school] = byte & 0x1F;
}

void decode_character(CharacterRecord& c, const unsigned char* r, int) {
    namespace f = layout::character;
    c.hp = f::kHp.get(r);
    for (int i = 0; i < 7; ++i) c.params[kStatsFirst + i] = f::kStats[i].get(r);
    for (int i = 0; i < 5; ++i) c.params[kWeaponsFirst + i] = f::kWeapons[i].get(r);
    decode_school(c.params + kEarthArtsFirst, 4, r[f::kEarthArtsByte]);
    decode_school(c.params + kHeavenArtsFirst, 2, r[f::kHeavenArtsByte]);
    c.params[kUnknownParam] = f::kUnknown.get(r);
    c.spark_type = f::kSparkType.get(r);
    c.type = f::kType.get(r);
    c.guardian_star = f::kGuardianStar.get(r);
    c.arts = f::kArts.get(r);
    c.weapon = f::kWeapon.get(r);
    for (int i = 0; i < kCharacterFlagCount; ++i) c.flags[i] = f::kFlags[i].get(r);
}

}  // namespace

int character_name_record(int index) {
    if (index < 0 || index > kLastCharacter) return -1;
    if (index == kLastCharacter) return kLastCharacterName;
    return index < kRepeatedFirst ? index : index - kRepeatedFirst;
}

const char* character_name(const common::NameTables& names, int index) {
    static constexpr common::NameTableKind kTable{4, layout::kCharacterNames, &mt3::kCharTables};
    const int record = character_name_record(index);
    return record < 0 ? "" : names.get(kTable, record);
}

const char* guardian_star_name(int index) { return table_name(kGuardianStars, index); }
const char* weapon_kind_name(int index) { return table_name(kWeapons, index); }
const char* arts_name(int index) { return table_name(kArts, index); }

common::Result<std::vector<CharacterRecord>> load_characters(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kLevelUpRecords});
    if (!read) return read.error();
    const auto& [level_up] = *read;
    common::Result<std::vector<CharacterRecord>> characters =
        common::load_records<CharacterRecord>(image, layout::kCharacterRecords, decode_character);
    if (!characters) return characters;
    for (int n = 0; n < kCharacterCount; ++n) {
        for (int i = 0; i < kLevelUpCount; ++i) (*characters)[n].level_up[i] = layout::character::kLevelUps[i].get(level_up.record(n));
    }
    return characters;
}

void write_chrparam(common::ReportText& out, const Run& run) {
    common::write_record_rows(out,
                              "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力   剣   斧   槍   弓 "
                              "体術 蒼龍 朱鳥 白虎 玄武 太陽   月 不明\n",
                              run.characters, character_prefix(run.names), [](common::ReportText& fp, const CharacterRecord& c) {
                                  common::print_value_row(fp, c.hp, c.params, kParamCount);
                              });
}

void write_chrlvup(common::ReportText& out, const Run& run) {
    common::write_record_rows(out,
                              "No.       名前                 HP   WP   JP   剣   斧   槍   弓 体術 蒼龍 朱鳥 白虎 玄武 "
                              "太陽   月    TYPE\n",
                              run.characters, character_prefix(run.names), [](common::ReportText& fp, const CharacterRecord& c) {
                                  fp.str("  ");
                                  common::print_int_list(fp, c.level_up, kLevelUpCount, 3);
                                  fp.str(", TYPE").dec0(c.type, 2).ch('\n');
                              });
}

void write_chrflag(common::ReportText& out, const Run& run) {
    common::write_record_rows(out,
                              "No.       名前               男性 女性 不死 不明  HP   剣   斧   槍   弓  体術 地術 天術 "
                              "不明  宿星  武器  術    閃TYPE\n",
                              run.characters, character_prefix(run.names), [](common::ReportText& fp, const CharacterRecord& c) {
                                  common::print_mark_cells(fp, c.flags, kCharacterFlagCount);
                                  // "   %-4s  %-4s  %-4s  TYPE%02d\n"
                                  fp.str("   ").left(guardian_star_name(c.guardian_star), 4).str("  ");
                                  fp.left(weapon_kind_name(c.weapon), 4).str("  ").left(arts_name(c.arts), 4);
                                  fp.str("  TYPE").dec0(c.spark_type, 2).ch('\n');
                              });
}

}  // namespace mt3
