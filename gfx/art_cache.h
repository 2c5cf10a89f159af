#pragma once
// The single-record readers through which the blitters reach art, gump-art and
// animation records in the mapped data files, and the cache of decoded static
// art images. Record spans point into the mappings and stay valid until the
// next record write or the data files are closed; decoded images are copies
// and stay valid until forgotten. Main thread only.

#include "data/data_files.h"
#include "gfx/animation_frame.h"
#include "gfx/art_image.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>

struct DataRecord {
    std::span<const uint8_t> bytes;
    // The index entry's extra word.
    uint32_t extra = 0;
};

// Entry `id` of the art index (land art), `id` + 0x4000 (static art) and of
// the gump-art index; nothing when the index has no such record.
std::optional<DataRecord> getLandArtRecord(int32_t id);
std::optional<DataRecord> getItemArtRecord(int32_t id);
std::optional<DataRecord> getGumpArtRecord(int32_t id);
// Frame `frame` of animation record `recordIndex` of the current animation
// files; nothing when the record or the frame is missing. The record's frame
// count goes to `recordFrameCount` whenever it could be read.
std::optional<AnimationFrameRecord> getAnimationFrameRecord(
    int32_t recordIndex, int32_t frame, int32_t* recordFrameCount = nullptr);

class ArtImageCache {
public:
    static constexpr int32_t kStaticArtBase = kFirstStaticArt;
    // The decoded image of art entry `id`; null for land entries (below
    // 0x4000, which are raw diamonds), missing entries and damaged records.
    const ArtImage* getArtImage(int32_t id);
    // Drops a decoded image after its record was replaced.
    void forget(int32_t id) { m_images.erase(id); }
    void clear() { m_images.clear(); }

private:
    // Damaged and missing records are remembered as null too.
    std::unordered_map<int32_t, std::unique_ptr<ArtImage>> m_images;
};

ArtImageCache& artImageCache();
// artImageCache().getArtImage(id).
const ArtImage* getArtImage(int32_t id);
// The art image of id & 0x7FFF, or of art 0 when that image is missing; null
// when neither can be produced.
const ArtImage* getArtOrDefault(int32_t id);
