#include "gfx/art_cache.h"

#include "data/data_files.h"

namespace {

constexpr int kGumpArtIndexFile = 11;
constexpr int kGumpArtFile = 12;

std::optional<DataRecord> indexedRecord(int indexFile, int dataFile, int32_t n)
{
    int32_t length = 0;
    uint32_t extra = 0;
    const uint8_t* data = lookupIndexedRecord(indexFile, dataFile, n, length, extra);
    if (!data || length <= 0)
        return std::nullopt;
    return DataRecord { { data, static_cast<size_t>(length) }, extra };
}

} // namespace

std::optional<DataRecord> getLandArtRecord(int32_t id)
{
    return indexedRecord(kArtIndexFile, kArtFile, id);
}

std::optional<DataRecord> getItemArtRecord(int32_t id)
{
    if (id < 0 || id > INT32_MAX - ArtImageCache::kStaticArtBase)
        return std::nullopt;
    return indexedRecord(kArtIndexFile, kArtFile, id + ArtImageCache::kStaticArtBase);
}

std::optional<DataRecord> getGumpArtRecord(int32_t id)
{
    return indexedRecord(kGumpArtIndexFile, kGumpArtFile, id);
}

std::optional<AnimationFrameRecord> getAnimationFrameRecord(
    int32_t recordIndex, int32_t frame, int32_t* recordFrameCount)
{
    std::optional<DataRecord> record = indexedRecord(kAnimIndexFile, kAnimFile, recordIndex);
    if (!record)
        return std::nullopt;
    return readAnimationFrame(record->bytes, record->extra, frame, recordFrameCount);
}

const ArtImage* ArtImageCache::getArtImage(int32_t id)
{
    if (id < kStaticArtBase)
        return nullptr;
    auto found = m_images.find(id);
    if (found != m_images.end())
        return found->second.get();
    std::optional<DataRecord> record = getItemArtRecord(id - kStaticArtBase);
    std::unique_ptr<ArtImage> image = record ? ArtImage::parse(record->bytes) : nullptr;
    const ArtImage* result = image.get();
    m_images.emplace(id, std::move(image));
    return result;
}

ArtImageCache& artImageCache()
{
    static ArtImageCache cache;
    return cache;
}

const ArtImage* getArtImage(int32_t id)
{
    return artImageCache().getArtImage(id);
}

const ArtImage* getArtOrDefault(int32_t id)
{
    if (const ArtImage* image = getArtImage(id & 0x7FFF))
        return image;
    return getArtImage(0);
}
