// Playable characters of game A: the character and special character name
// lookups, the character, special character and level table blocks and the
// five character reports.
#pragma once

#include <cstdint>

#include "common/report.h"
#include "games/a/body.h"

namespace mt2 {

struct Run;  // the tables of one run (run.h)

constexpr int kCharacterCount = 256;
constexpr int kSpecialCharacterCount = 16;
constexpr int kSkillLevels = 50;
constexpr int kOverallSkillLevels = 39;

struct CharacterRecord {
    int32_t lp;
    int32_t abilities[kAbilityCount];  // stored as nibbles of value - 10 in bytes 1..3
    int32_t weapon_aptitude;  // -7..+8
    int32_t magic_aptitude;   // -7..+8
    int32_t spark_type;
    int32_t weapons[5];  // sword, axe, spear, bow, martial arts
    int32_t magic[6];    // fire, water, earth, wind, heaven, underworld
    BodyFlags body;
    int32_t race;
};

struct SpecialCharacterRecord {
    int32_t lp;
    int32_t wp;
    int32_t jp;
    int32_t abilities[kAbilityCount];
    int32_t weapon_levels[5];  // sword, axe, spear, bow, martial arts
    int32_t magic_levels[6];   // fire, water, earth, wind, heaven, underworld
    int32_t spark_type;
    BodyFlags body;
    int32_t race;
};

// Names; "" outside 0..255 and 0..15.
const char* character_name(const common::NameTables& names, int index);
const char* special_character_name(const common::NameTables& names, int index);

common::Result<std::vector<CharacterRecord>> load_characters(const common::RomImage& image);
common::Result<std::vector<SpecialCharacterRecord>> load_special_characters(const common::RomImage& image);
// 50 skill level words, then 39 overall skill level words.
common::Result<std::vector<int32_t>> load_level_tables(const common::RomImage& image);

void write_chrparam(common::ReportText& out, const Run& run);
void write_chrflag(common::ReportText& out, const Run& run);
void write_chrspparam(common::ReportText& out, const Run& run);
void write_chrspflag(common::ReportText& out, const Run& run);
void write_chrlvup(common::ReportText& out, const Run& run);

}  // namespace mt2
