#pragma once
// Reading the current facet's terrain and statics blocks out of the mapped
// data files, with the difference overlays applied, and the height queries
// built on them. A block is 8 x 8 cells: 196 bytes of terrain (a 4-byte
// header, then 64 cells of {uint16 land id, int8 z}, little-endian) and a run
// of 7-byte statics records found through the statics index. Every read is
// bounded by the mapping: a short or damaged file reads as missing blocks.
// Main thread only.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

constexpr int32_t kTerrainBlockBytes = 196;
constexpr int32_t kStaticRecordBytes = 7;
// The land id of a cell whose block is missing or that lies off the map.
constexpr uint16_t kMissingLandId = 0x8001;
// The land id given to cells beyond the wrapping part that no file covers.
constexpr uint16_t kOffMapLandId = 0x244;

struct TerrainCell {
    uint16_t landId = 0;
    int8_t z = 0;
};

struct StaticRecord {
    uint16_t graphic = 0;
    uint8_t x = 0;
    uint8_t y = 0;
    int8_t z = 0;
    uint16_t hue = 0;
};

// The 196 bytes of block `block` of the current facet (the difference record
// when the lists name the block); empty when it is missing.
std::span<const uint8_t> getTerrainBlock(int32_t block);
// The statics records of `block`, difference overlay applied.
std::vector<StaticRecord> getStaticsBlock(int32_t block);

// The block number of cell (x, y) on the current facet, or -1 off the map.
int32_t terrainBlockNumber(int32_t x, int32_t y);
// The raw cell; false when its block is missing or it lies off the map.
bool readTerrainCell(int32_t x, int32_t y, TerrainCell& cell);

// The cell's z, wrapping by the whole map size; 0 when the block is missing.
int32_t getTerrainZ(int32_t x, int32_t y);
// z of the corners (x, y), (x + 1, y), (x + 1, y + 1), (x, y + 1); all 0
// for a cell off the map.
std::array<int8_t, 4> getCellCornerHeights(int32_t x, int32_t y);
// The land id after the seasonal substitution; 0x8001 off the map or when
// the block is missing.
int32_t getLandTileId(int32_t x, int32_t y);

// 0..7: the direction the cell slopes toward beyond `threshold`, for the
// radar's shading; `roughness` gets the sum of both diagonal differences.
int32_t classifyTerrainSlope(int32_t x, int32_t y, int32_t threshold, int32_t& roughness);

// The optional per-block check the server can ask for: each block's digest is
// compared once per run with a table of four-bit values that belongs to the
// map files, and a block that differs is sent to the server. Without a table
// the check stays off whatever the server asks.
void setTerrainCheckTable(std::vector<uint8_t> table);
void setTerrainCheckEnabled(bool enabled);
bool isTerrainCheckEnabled();
// How many block digests have been computed (each block at most once).
int64_t terrainCheckDigestCount();
void resetTerrainCheck();
