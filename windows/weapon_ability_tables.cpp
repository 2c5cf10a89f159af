#include "windows/weapon_ability_tables.h"

#include <array>

namespace {

constexpr std::array<const char*, kWeaponAbilityCount> kAbilityNames {
    "Armor Ignore", "Bleed Attack", "Concussion Blow", "Crushing Blow",
    "Disarm", "Dismount", "Double Strike", "Infecting",
    "Mortal Strike", "Moving Shot", "Paralyzing Blow", "Shadow Strike",
    "Whirlwind Attack", "Riding Swipe", "Frenzied Whirlwind", "Block",
    "Defense Mastery", "Nerve Strike", "Talon Strike", "Feint",
    "Dual Wield", "Double Shot", "Armor Pierce", "Bladeweave",
    "Force Arrow", "Lightning Arrow", "Psychic Attack", "Serpent Arrow",
    "Force of Nature",
};

// Sorted by graphic.
constexpr WeaponAbilityPair kWeaponPairs[] = {
    { 3568, 13, 11 }, { 3569, 13, 11 }, { 3570, 6, 5 }, { 3571, 6, 5 }, { 3572, 6, 5 }, { 3573, 6, 5 },
    { 3713, 4, 5 }, { 3714, 4, 5 }, { 3717, 7, 5 }, { 3718, 7, 5 }, { 3719, 2, 6 }, { 3720, 2, 6 }, { 3721, 7, 3 },
    { 3722, 7, 3 }, { 3778, 2, 8 }, { 3779, 2, 8 }, { 3780, 12, 5 }, { 3781, 12, 5 }, { 3907, 1, 5 }, { 3908, 1, 5 },
    { 3909, 2, 9 }, { 3910, 2, 9 }, { 3911, 2, 3 }, { 3912, 2, 3 }, { 3913, 4, 6 }, { 3914, 4, 6 }, { 3915, 7, 13 },
    { 3916, 7, 13 }, { 3917, 11, 6 }, { 3918, 11, 6 }, { 3919, 3, 9 }, { 3920, 3, 9 }, { 3921, 8, 12 },
    { 3922, 8, 12 }, { 3932, 3, 5 }, { 3933, 3, 5 }, { 3934, 4, 1 }, { 3935, 4, 1 }, { 3936, 1, 3 }, { 3937, 1, 3 },
    { 3938, 1, 11 }, { 3939, 1, 11 }, { 4020, 4, 12 }, { 4021, 4, 12 }, { 5039, 1, 2 }, { 5040, 1, 2 },
    { 5041, 11, 9 }, { 5042, 11, 9 }, { 5043, 12, 6 }, { 5044, 12, 6 }, { 5045, 7, 11 }, { 5046, 7, 11 },
    { 5047, 1, 3 }, { 5048, 1, 3 }, { 5049, 4, 11 }, { 5050, 4, 11 }, { 5091, 4, 12 }, { 5092, 4, 12 },
    { 5110, 8, 5 }, { 5111, 8, 5 }, { 5112, 3, 11 }, { 5113, 3, 11 }, { 5114, 13, 2 }, { 5115, 13, 2 },
    { 5116, 10, 6 }, { 5117, 10, 6 }, { 5118, 7, 1 }, { 5119, 7, 1 }, { 5120, 1, 8 }, { 5121, 1, 8 }, { 5122, 12, 9 },
    { 5123, 12, 9 }, { 5124, 2, 5 }, { 5125, 2, 5 }, { 5126, 4, 2 }, { 5127, 4, 2 }, { 5176, 13, 4 }, { 5177, 13, 4 },
    { 5178, 4, 3 }, { 5179, 4, 3 }, { 5180, 1, 9 }, { 5181, 1, 9 }, { 5182, 13, 3 }, { 5183, 13, 3 }, { 5184, 2, 12 },
    { 5185, 2, 12 }, { 5186, 7, 12 }, { 5187, 7, 12 }, { 9914, 2, 11 }, { 9915, 11, 9 }, { 9916, 4, 9 },
    { 9917, 1, 6 }, { 9918, 11, 8 }, { 9919, 7, 8 }, { 9920, 6, 3 }, { 9921, 7, 9 }, { 9922, 1, 10 }, { 9923, 7, 10 },
    { 9924, 2, 11 }, { 9925, 11, 9 }, { 9926, 4, 9 }, { 9927, 1, 6 }, { 9928, 11, 8 }, { 9929, 7, 8 }, { 9930, 6, 3 },
    { 9931, 7, 9 }, { 9932, 1, 10 }, { 9933, 7, 10 }, { 10146, 4, 14 }, { 10147, 20, 16 }, { 10148, 15, 7 },
    { 10149, 23, 22 }, { 10150, 15, 4 }, { 10151, 17, 15 }, { 10152, 20, 18 }, { 10153, 20, 7 }, { 10155, 21, 19 },
    { 10157, 13, 17 }, { 10158, 16, 20 }, { 10159, 16, 23 }, { 10221, 4, 14 }, { 10222, 20, 16 }, { 10223, 15, 7 },
    { 10224, 23, 22 }, { 10225, 15, 4 }, { 10226, 17, 15 }, { 10227, 20, 18 }, { 10228, 20, 7 }, { 10230, 21, 19 },
    { 10232, 13, 17 }, { 10233, 16, 20 }, { 10234, 16, 23 }, { 11550, 25, 28 }, { 11551, 26, 27 }, { 11552, 27, 2 },
    { 11553, 8, 12 }, { 11554, 20, 1 }, { 11555, 5, 24 }, { 11556, 3, 4 }, { 11557, 16, 29 }, { 11558, 5, 24 },
    { 11559, 13, 24 }, { 11560, 5, 4 }, { 11561, 17, 24 }, { 11562, 25, 28 }, { 11563, 26, 27 }, { 11564, 27, 2 },
    { 11565, 8, 12 }, { 11566, 20, 1 }, { 11567, 5, 24 }, { 11568, 3, 4 }, { 11569, 16, 29 }, { 11570, 5, 24 },
    { 11571, 13, 24 }, { 11572, 5, 4 }, { 11573, 17, 24 },
};

constexpr uint16_t kWeaponsOf1[] = { 3908, 5048, 3935, 5119, 9927, 5181, 5040, 5121, 3939, 9932, 11554 };
constexpr uint16_t kWeaponsOf2[] = { 3779, 5115, 3912, 3910, 5185, 9924, 5127, 5040, 3720, 5125, 11552 };
constexpr uint16_t kWeaponsOf3[] = { 5048, 3912, 5183, 5179, 3933, 5113, 3722, 9930, 3920, 11556 };
constexpr uint16_t kWeaponsOf4[] = { 5050, 3914, 3935, 3714, 5092, 5179, 5127, 5177, 9926, 4021, 10146, 11556, 11560 };
constexpr uint16_t kWeaponsOf5[] = { 5111, 3718, 3781, 3908, 3573, 3714, 3933, 5125, 0, 11558, 11560 };
constexpr uint16_t kWeaponsOf6[] = { 3918, 3914, 9927, 3573, 5044, 3720, 9930, 5117 };
constexpr uint16_t kWeaponsOf7[] = { 3718, 5187, 3916, 5046, 5119, 9931, 3722, 9929, 9933, 10148, 10153 };
constexpr uint16_t kWeaponsOf8[] = { 5111, 3779, 3922, 9928, 5121, 9929, 11553 };
constexpr uint16_t kWeaponsOf9[] = { 3910, 9925, 9931, 5181, 9926, 5123, 3920, 5042 };
constexpr uint16_t kWeaponsOf10[] = { 5117, 9932, 9933 };
constexpr uint16_t kWeaponsOf11[] = { 5050, 3918, 5046, 9924, 9925, 5113, 3569, 9928, 3939, 5042, 0 };
constexpr uint16_t kWeaponsOf12[] = { 3781, 5187, 5185, 5092, 5044, 3922, 5123, 4021, 11553 };
constexpr uint16_t kWeaponsOf13[] = { 5115, 5183, 3916, 5177, 3569, 10157, 11559 };
constexpr uint16_t kWeaponsOf14[] = { 10146 };
constexpr uint16_t kWeaponsOf15[] = { 10148, 10150, 10151 };
constexpr uint16_t kWeaponsOf16[] = { 10147, 10158, 10159, 11557 };
constexpr uint16_t kWeaponsOf17[] = { 10151, 10157, 11561 };
constexpr uint16_t kWeaponsOf18[] = { 10152 };
constexpr uint16_t kWeaponsOf19[] = { 10155 };
constexpr uint16_t kWeaponsOf20[] = { 10152, 10153, 10158, 11554 };
constexpr uint16_t kWeaponsOf21[] = { 10155 };
constexpr uint16_t kWeaponsOf22[] = { 10149 };
constexpr uint16_t kWeaponsOf23[] = { 10149, 10159 };
constexpr uint16_t kWeaponsOf24[] = { 11555, 11558, 11559, 11561 };
constexpr uint16_t kWeaponsOf25[] = { 11550 };
constexpr uint16_t kWeaponsOf26[] = { 11551 };
constexpr uint16_t kWeaponsOf27[] = { 11551, 11552 };
constexpr uint16_t kWeaponsOf28[] = { 11550 };
constexpr uint16_t kWeaponsOf29[] = { 11557 };

constexpr std::array<std::span<const uint16_t>, kWeaponAbilityCount> kAbilityWeapons {
    kWeaponsOf1, kWeaponsOf2, kWeaponsOf3, kWeaponsOf4, kWeaponsOf5, kWeaponsOf6, kWeaponsOf7, kWeaponsOf8,
    kWeaponsOf9, kWeaponsOf10, kWeaponsOf11, kWeaponsOf12, kWeaponsOf13, kWeaponsOf14, kWeaponsOf15, kWeaponsOf16,
    kWeaponsOf17, kWeaponsOf18, kWeaponsOf19, kWeaponsOf20, kWeaponsOf21, kWeaponsOf22, kWeaponsOf23, kWeaponsOf24,
    kWeaponsOf25, kWeaponsOf26, kWeaponsOf27, kWeaponsOf28, kWeaponsOf29,
};

} // namespace

std::span<const WeaponAbilityPair> weaponAbilityPairs() { return kWeaponPairs; }

const char* weaponAbilityNameOf(int32_t ability)
{
    return ability >= 1 && ability <= kWeaponAbilityCount ? kAbilityNames[size_t(ability - 1)] : nullptr;
}

std::span<const uint16_t> weaponAbilityExamples(int32_t ability)
{
    return ability >= 1 && ability <= kWeaponAbilityCount ? kAbilityWeapons[size_t(ability - 1)]
                                                          : std::span<const uint16_t> {};
}
