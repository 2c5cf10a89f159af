#pragma once
// Land art and terrain textures, decoded once from the mapped data files into
// aligned host-order pixels (records may sit at any byte of a mapping). Land
// art is the raw 44 x 44 diamond of 1012 pixels: 22 rows of 2, 4, ..., 44
// pixels, then 22 rows of 44, 42, ..., 2. A texture is a square of 64 x 64
// pixels (index extra 0) or 128 x 128 (extra 1). Pointers stay valid until the
// entry is forgotten or the caches cleared. Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

constexpr int32_t kLandArtPixels = 1012;
constexpr int32_t kTexmapIndexFile = 9;
constexpr int32_t kTexmapFile = 10;

// A texture's pixels shaded at each of the 32 light levels, each made by the
// terrain rasteriser when the level is first drawn. Kept with the texture in
// the cache, so that they go when it is forgotten.
struct TerrainShadedLevels {
    std::array<std::unique_ptr<uint16_t[]>, 32> levels;
};

struct TerrainTexture {
    const uint16_t* pixels = nullptr;
    // 64 or 128.
    int32_t size = 0;
    // log2 of the size: 6 or 7.
    int32_t shift = 0;
    // Where the rasteriser keeps the shaded pixels; null draws without them.
    TerrainShadedLevels* shaded = nullptr;
};

class TerrainArtCache {
public:
    // The 1012 pixels of land art `id` (id & 0x7FFF), or null when the
    // entry is missing or too short.
    const uint16_t* landArt(int32_t id);
    // Texture `id`, or a null texture when missing, too short or of an
    // unknown size.
    TerrainTexture texture(int32_t id);
    void forgetLandArt(int32_t id) { m_land.erase(id & 0x7FFF); }
    void forgetTexture(int32_t id) { m_textures.erase(id); }
    void clear()
    {
        m_land.clear();
        m_textures.clear();
    }

private:
    struct Texture {
        std::vector<uint16_t> pixels;
        int32_t size = 0;
        std::unique_ptr<TerrainShadedLevels> shaded;
    };
    // Missing entries are remembered as empty.
    std::unordered_map<int32_t, std::vector<uint16_t>> m_land;
    std::unordered_map<int32_t, Texture> m_textures;
};

TerrainArtCache& terrainArtCache();
