#pragma once
// The two world-packet window calls whose windows exist: the damage number
// of 0x0B and the general information packet's damage sub-command, and the
// name a 0x98 answer draws on an open name plate. Every other call of these
// services stays the base class's do-nothing form until its window is built.
// The objects live for the whole program; main thread only.

#include "protocol/world_packet_windows.h"

class DamageNumberWindows final : public GeneralInfoWindows {
public:
    void showDamage(uint32_t serial, uint16_t damage, uint16_t hue) override;
};

class NamePlateNameWindows final : public StatusWindows {
public:
    void showNamePlateName(uint32_t serial, std::string_view name) override;
};

DamageNumberWindows& damageNumberWindows();
NamePlateNameWindows& namePlateNameWindows();
