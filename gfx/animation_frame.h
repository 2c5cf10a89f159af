#pragma once
// Reading one frame out of an animation record ("anim.mul"): a 256-colour
// palette, the frame count, a table of frame offsets (counted from the frame
// count's slot at byte 512), and per frame its centre, size and run data.
// Every offset is checked against the record before it is followed, and a
// frame is only handed out when its runs, each a header and its pixels, reach
// their end mark inside the record: the blitters can walk them unchecked.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The header that ends a frame's runs.
inline constexpr uint32_t kFrameRunsEnd = 0x7FFF7FFF;

// One run header: `count` palette indices for the pixels from column dx of
// row dy, both relative to the anchor.
struct FrameRunHeader {
    int32_t count = 0;
    int32_t dx = 0;
    int32_t dy = 0;
};

// Bits 0-11 the count, 12-21 the row and 22-31 the column, both signed
// 10-bit values.
inline FrameRunHeader decodeFrameRunHeader(uint32_t header)
{
    auto signed10 = [](uint32_t value) { return int32_t(value & 0x3FF) - ((value & 0x200) ? 0x400 : 0); };
    return { int32_t(header & 0xFFF), signed10(header >> 22), signed10(header >> 12) };
}

inline uint32_t readFrameRunWord(const uint8_t* at)
{
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

// The length of the runs at the start of `bytes` up to and including their
// end mark, or 0 when a header or a run's pixels would pass the end of the
// bytes before the end mark.
size_t measureFrameRuns(std::span<const uint8_t> bytes);

struct AnimationFrameRecord {
    // The frame's runs, their end mark included.
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
// is not below the count, its offset is 0, the offset or the frame header
// lies outside the record, or the runs do not end inside it. When the count
// could be read it is stored in `recordFrameCount` (when given), whatever
// happens to the frame: the animation stepping follows the record's count.
std::optional<AnimationFrameRecord> readAnimationFrame(
    std::span<const uint8_t> record, uint32_t extra, int32_t frame, int32_t* recordFrameCount = nullptr);
