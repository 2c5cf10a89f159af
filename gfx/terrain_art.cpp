#include "gfx/terrain_art.h"

#include "core/byte_cursor.h"
#include "data/data_files.h"
#include "gfx/art_cache.h"

namespace {

std::vector<uint16_t> decodePixels(const uint8_t* bytes, size_t count)
{
    ByteCursor cursor(std::span<const uint8_t>(bytes, count * 2));
    std::vector<uint16_t> pixels(count);
    for (uint16_t& pixel : pixels)
        pixel = cursor.readU16();
    return pixels;
}

} // namespace

TerrainArtCache& terrainArtCache()
{
    static TerrainArtCache cache;
    return cache;
}

const uint16_t* TerrainArtCache::landArt(int32_t id)
{
    id &= 0x7FFF;
    auto found = m_land.find(id);
    if (found == m_land.end()) {
        std::vector<uint16_t> pixels;
        std::optional<DataRecord> record = getLandArtRecord(id);
        if (record && record->bytes.size() >= size_t(kLandArtPixels) * 2)
            pixels = decodePixels(record->bytes.data(), size_t(kLandArtPixels));
        found = m_land.emplace(id, std::move(pixels)).first;
    }
    return found->second.empty() ? nullptr : found->second.data();
}

TerrainTexture TerrainArtCache::texture(int32_t id)
{
    auto found = m_textures.find(id);
    if (found == m_textures.end()) {
        Texture decoded;
        int32_t length = 0;
        uint32_t extra = 0;
        const uint8_t* bytes = id >= 0 ? lookupIndexedRecord(kTexmapIndexFile, kTexmapFile, id, length, extra) : nullptr;
        int32_t size = extra == 0 ? 64 : extra == 1 ? 128 : 0;
        if (bytes && size > 0 && length >= size * size * 2) {
            decoded.pixels = decodePixels(bytes, size_t(size * size));
            decoded.size = size;
        }
        found = m_textures.emplace(id, std::move(decoded)).first;
    }
    Texture& texture = found->second;
    if (texture.size == 0)
        return {};
    if (!texture.shaded)
        texture.shaded = std::make_unique<TerrainShadedLevels>();
    return { texture.pixels.data(), texture.size, texture.size == 64 ? 6 : 7, texture.shaded.get() };
}
