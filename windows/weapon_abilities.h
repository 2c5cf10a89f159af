#pragma once
// The special abilities of weapons: every weapon graphic grants a primary
// and a secondary ability (bare hands and weapons not in the table grant
// Disarm and Paralyzing Blow); their names, text ids and icon art; the
// weapon the player holds, looked at every game tick; and the ability the
// player switched on, which the server is told (0xD7 sub-command 0x19). The
// ability book and the ability icons show them and are refreshed when the
// weapon or the active ability changes. Main thread only.

#include "windows/weapon_ability_tables.h"

#include <cstdint>
#include <span>
#include <string_view>

int32_t primaryAbility(int32_t weaponGraphic);
int32_t secondaryAbility(int32_t weaponGraphic);
// The graphic of the weapon in the player's hands, 0 for none.
int32_t currentWeaponGraphic();
int32_t currentPrimaryAbility();
int32_t currentSecondaryAbility();
// The ability switched on, 0 for none.
int32_t activeWeaponAbility();

// "Invalid", 1028838 and 20992 for numbers outside 1..29.
std::string_view abilityName(int32_t ability);
int32_t abilityNameCliloc(int32_t ability);
int32_t abilityDescriptionCliloc(int32_t ability);
int32_t abilityIconArt(int32_t ability);
// The weapons the ability book lists under the ability (0: bare hands).
std::span<const uint16_t> weaponsWithAbility(int32_t ability);

// The start state: no weapon, no ability.
void resetWeaponAbilities();
// Every game tick: the weapon in the first hand, else the second; a change
// refreshes the ability windows.
void updateWeaponAbilities();
// Switches the ability on, or off when it is the one on, refreshes the
// ability windows and tells the server. Numbers outside 1..29 do nothing.
void activateWeaponAbility(int32_t ability);
// The server switched the ability off.
void refreshAbilityGumps();
