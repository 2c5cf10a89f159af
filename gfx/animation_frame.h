#pragma once
// Reading one frame out of an animation record ("anim.mul"): a 256-colour
// palette, the frame count, a table of frame offsets (counted from the frame
// count's slot at byte 512), and per frame its centre, size and run data.
// Every offset is checked against the record before it is followed.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

struct AnimationFrameRecord {
    // The frame's run data, up to the end of the record.
    std::span<const uint8_t> pixelData;
    // The index entry's extra word.
    uint32_t extra = 0;
    std::array<uint16_t, 256> palette {};
    int32_t frameCount = 0;
    int32_t centreX = 0;
    int32_t centreY = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Nothing when the record is too short for its palette and count, the frame
// is not below the count, its offset is 0, or the offset or the frame header
// lies outside the record.
std::optional<AnimationFrameRecord> readAnimationFrame(std::span<const uint8_t> record, uint32_t extra, int32_t frame);
