// The export keys and report headings of the monster, character and item
// columns that both games export under one name. Each game's fields.h takes
// them into its own list of keys (its export keys are these and its own).
//
// Labels are UTF-8: only the exporters and importers include this file.
#pragma once

#include "common/export_keys.h"

namespace common::record_keys {

// Monsters and characters.
inline constexpr Key kHp{"hp", "HP"};
inline constexpr Key kRace{"race", "種族"};
inline constexpr Key kSparkType{"spark_type", "閃TYPE"};
// What a monster's shield gives it, and its resistances.
inline constexpr Key kShieldDefence{"shield_defence", "盾防"};
inline constexpr Key kEvasion{"evasion", "回避"};
inline constexpr Key kShieldAttributes{"shield_attributes", "盾の防御属性"};
inline constexpr Key kStatusResistances{"status_resistances", "状態変化耐性"};

// Items.
inline constexpr Key kPrice{"price", "価格"};
inline constexpr Key kWeight{"weight", "重量"};
inline constexpr Key kAttack{"attack", "攻撃"};
inline constexpr Key kDefence{"defence", "防御"};
inline constexpr Key kDefenceAttributes{"defence_attributes", "防御属性"};

// Why the importers write no bonus and no item kind.
inline constexpr char kBonus[] = "the bonuses of an armour share one amount; this version does not write them";
inline constexpr char kItemKind[] = "the kind of an item follows from its index";

}  // namespace common::record_keys
