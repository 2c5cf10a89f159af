#pragma once
// The edit server's data patches (art, multi, skill and tile-data records,
// acted on only in edit-server mode), the packets every mode reads and
// drops, and the packet that turns on the terrain block check. Main thread
// only.

#include "world/multi_components.h"

#include <cstdint>

void handleArtPatch(const uint8_t* packet);
void handleMultiPatch(const uint8_t* packet);
void handleSkillsPatch(const uint8_t* packet);
void handleTileDataPatch(const uint8_t* packet);
void handleStaticsPatch(const uint8_t* packet);
void handleMapPatch(const uint8_t* packet);
void handleHuesPatch(const uint8_t* packet);
void handleRegionPatch(const uint8_t* packet);
void skipEditBlockPacket(const uint8_t* packet);
void skipNineLongPacket(const uint8_t* packet);
void skipLongPacket(const uint8_t* packet);
void skipOneBytePacket(const uint8_t* packet);
void skipTwoBytePacket(const uint8_t* packet);
void skipTwoLongPacket(const uint8_t* packet);
void skipByteLongPacket(const uint8_t* packet);
void handleTerrainCheckOn(const uint8_t* packet);

// The rows of the indexed data files the patches rewrite (the multi rows
// are world/multi_components.h's).
inline constexpr int kSkillsIndexFile = 15;
inline constexpr int kSkillsDataFile = 16;
// Tile numbers below this carry a land group, from it an item group.
inline constexpr uint32_t kFirstItemTileGroup = 512;
