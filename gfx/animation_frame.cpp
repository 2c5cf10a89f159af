#include "gfx/animation_frame.h"

#include "core/byte_cursor.h"

size_t measureFrameRuns(std::span<const uint8_t> bytes)
{
    size_t at = 0;
    while (bytes.size() - at >= 4) {
        uint32_t header = readFrameRunWord(bytes.data() + at);
        at += 4;
        if (header == kFrameRunsEnd)
            return at;
        size_t count = header & 0xFFF;
        if (count > bytes.size() - at)
            return 0;
        at += count;
    }
    return 0;
}

std::optional<AnimationFrameRecord> readAnimationFrame(
    std::span<const uint8_t> record, uint32_t extra, int32_t frame, int32_t* recordFrameCount)
{
    constexpr size_t kCountOffset = 512;
    ByteCursor cursor(record);
    AnimationFrameRecord result;
    result.extra = extra;
    for (uint16_t& colour : result.palette)
        colour = cursor.readU16();
    result.frameCount = cursor.readU16();
    cursor.skip(2);
    if (cursor.failed())
        return std::nullopt;
    if (recordFrameCount)
        *recordFrameCount = result.frameCount;
    if (frame < 0 || frame >= result.frameCount)
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
    std::span<const uint8_t> runs = record.subspan(cursor.position());
    size_t length = measureFrameRuns(runs);
    if (length == 0)
        return std::nullopt;
    result.pixelData = runs.first(length);
    return result;
}
