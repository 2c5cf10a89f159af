#pragma once
// The fixed tables of the weapon abilities (weapon_ability_tables.cpp): the
// 29 names, the ability pair of each weapon graphic, and the example weapons
// the ability book lists under each ability.

#include <cstdint>
#include <span>

inline constexpr int32_t kWeaponAbilityCount = 29;

struct WeaponAbilityPair {
    uint16_t graphic;
    uint8_t primary;
    uint8_t secondary;
};

// Sorted by graphic.
std::span<const WeaponAbilityPair> weaponAbilityPairs();
// The name of ability 1..29; null outside.
const char* weaponAbilityNameOf(int32_t ability);
// The example weapon graphics of ability 1..29 (0 stands for bare hands);
// empty outside.
std::span<const uint16_t> weaponAbilityExamples(int32_t ability);
