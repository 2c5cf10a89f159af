#pragma once
// The settings the sound, music and video code reads, with the defaults they
// have when no settings file names them. Main thread only.

#include "data/config_keys.h"

#include <cstdint>

// "on" and "yes" are true, any other text false; a missing key gives `fallback`.
bool audioSettingOn(ConfigKeyKind kind, bool fallback);
// The number's low byte; a missing key gives `fallback`.
uint8_t audioSettingByte(ConfigKeyKind kind, uint8_t fallback);
