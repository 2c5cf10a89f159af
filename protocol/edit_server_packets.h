#pragma once
// The edit server's data patches (art, multi, skill and tile-data records,
// acted on only in edit-server mode), the packets every mode reads and
// drops, and the packet that turns on the terrain block check. Main thread
// only.

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

// The rows of the indexed data files the patches rewrite.
inline constexpr int kMultiIndexFile = 13;
inline constexpr int kMultiDataFile = 14;
inline constexpr int kSkillsIndexFile = 15;
inline constexpr int kSkillsDataFile = 16;
// Multi component records: four 16-bit fields and one 32-bit field.
inline constexpr int32_t kMultiRecordBytes = 12;
// Tile numbers below this carry a land group, from it an item group.
inline constexpr uint32_t kFirstItemTileGroup = 512;
