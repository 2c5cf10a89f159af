#include "windows/damage_and_name_windows.h"

#include "windows/damage_numbers.h"
#include "windows/name_plate_gump.h"

void DamageNumberWindows::showDamage(uint32_t serial, uint16_t damage, uint16_t)
{
    // The number picks the same hue the packet handler did (the player's or
    // another's), from the same serial.
    showDamageNumber(serial, damage);
}

void NamePlateNameWindows::showNamePlateName(uint32_t serial, std::string_view name)
{
    showMobileNameOnPlate(serial, name);
}

DamageNumberWindows& damageNumberWindows()
{
    static DamageNumberWindows windows;
    return windows;
}

NamePlateNameWindows& namePlateNameWindows()
{
    static NamePlateNameWindows windows;
    return windows;
}
