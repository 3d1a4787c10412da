// What the character and monster records of game A share: the body flags of
// byte 0, which the flag reports of both show, and the six abilities.
#pragma once

#include <cstdint>
#include <cstdio>

#include "common/report.h"

namespace mt2 {

struct Run;  // the tables of one run (run.h)

// Byte 0 of character and monster records: bits 7..4 the female, undead, boss
// and flying flags, bits 3..0 the race index.
struct BodyFlags {
    int32_t flying;
    int32_t boss;
    int32_t undead;
    int32_t female;
};
BodyFlags decode_body_flags(const unsigned char* record);

// The marks of a flag report row: female, undead, boss and flying, each
// under its column, then the two blanks before the race column.
void print_body_flags(common::ReportText& stream, const BodyFlags& flags);

// Strength, dexterity, magic power, 不明, speed and stamina.
constexpr int kAbilityCount = 6;

}  // namespace mt2
