#pragma once
// The dispatcher's constant tables.

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr size_t kHandledPacketIdCount = 130;
inline constexpr size_t kSecondaryWhitelistSize = 12;

extern const std::array<uint8_t, kHandledPacketIdCount> kHandledPacketIds;
extern const std::array<uint8_t, kSecondaryWhitelistSize> kSecondaryWhitelist;
