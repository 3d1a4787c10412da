// Game-B playable characters: 48 character records with their level-up
// values, the character name mapping and the three character reports.
#pragma once

#include <cstdint>

#include "common/report.h"

namespace mt3 {

struct Run;  // the tables of one run (run.h)

constexpr int kCharacterCount = 48;
constexpr int kParamCount = 19;    // strength .. charm, 5 weapons, 6 arts schools, 不明
constexpr int kLevelUpCount = 14;  // HP WP JP, 5 weapons, 6 arts schools
constexpr int kCharacterFlagCount = 13;
// Entries of the name tables of the flag report.
constexpr int kGuardianStarCount = 5;
constexpr int kWeaponKindCount = 9;
constexpr int kArtsCount = 5;

// Indices into CharacterRecord::params.
enum CharacterParam {
    kStatsFirst = 0,      // strength, dexterity, speed, stamina, magic power, willpower, charm
    kWeaponsFirst = 7,    // sword, axe, spear, bow, martial arts
    kEarthArtsFirst = 12,  // 蒼龍, 朱鳥, 白虎, 玄武
    kHeavenArtsFirst = 16, // 太陽, 月
    kUnknownParam = 18,
};

struct CharacterRecord {
    int32_t hp;
    int32_t params[kParamCount];
    int32_t level_up[kLevelUpCount];
    int32_t guardian_star;
    int32_t weapon;
    int32_t arts;
    int32_t spark_type;
    int32_t type;
    // male, female, undead, 不明, HP, sword, axe, spear, bow, martial arts,
    // earth arts, heaven arts, 不明: the flag report's column order
    int32_t flags[kCharacterFlagCount];
};

// The name of character 0..47 (41-46 repeat 0-5, 47 is name 16); "" otherwise.
const char* character_name(const common::NameTables& names, int index);
// The record of the character name table that names character index
// (characters 41-46 carry names 0-5 again, character 47 name 16), -1 for an
// index past the characters.
int character_name_record(int index);

// The names of the flag report's guardian star (0..4), weapon (0..8) and
// arts (0..4) indices; "" outside their tables.
const char* guardian_star_name(int index);
const char* weapon_kind_name(int index);
const char* arts_name(int index);

common::Result<std::vector<CharacterRecord>> load_characters(const common::RomImage& image);

void write_chrparam(common::ReportText& out, const Run& run);
void write_chrlvup(common::ReportText& out, const Run& run);
void write_chrflag(common::ReportText& out, const Run& run);

}  // namespace mt3
