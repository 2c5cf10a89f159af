#include "gfx/animation_frame.h"

#include "core/byte_cursor.h"

std::optional<AnimationFrameRecord> readAnimationFrame(std::span<const uint8_t> record, uint32_t extra, int32_t frame)
{
    constexpr size_t kCountOffset = 512;
    ByteCursor cursor(record);
    AnimationFrameRecord result;
    result.extra = extra;
    for (uint16_t& colour : result.palette)
        colour = cursor.readU16();
    result.frameCount = cursor.readU16();
    cursor.skip(2);
    if (cursor.failed() || frame < 0 || frame >= result.frameCount)
        return std::nullopt;
    cursor.seek(kCountOffset + 4 + 4 * size_t(frame));
    uint32_t offset = cursor.readU32();
    if (cursor.failed() || offset == 0)
        return std::nullopt;
    cursor.seek(kCountOffset + size_t(offset));
    result.centreX = cursor.readI16();
    result.centreY = cursor.readI16();
    result.width = cursor.readI16();
    result.height = cursor.readI16();
    if (cursor.failed())
        return std::nullopt;
    result.pixelData = record.subspan(cursor.position());
    return result;
}
