#include "gfx/animation_blitter.h"

#include "gfx/animation_frame.h"
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"

#include <algorithm>

namespace {

// Hands out the runs one by one; stops at the end mark, and also where the
// bytes end, so that even runs nobody measured are never read past.
class RunCursor {
public:
    explicit RunCursor(std::span<const uint8_t> runs)
        : m_runs(runs)
    {
    }

    bool next(FrameRunHeader& header, const uint8_t*& pixels)
    {
        if (m_runs.size() - m_at < 4)
            return false;
        uint32_t word = readFrameRunWord(m_runs.data() + m_at);
        if (word == kFrameRunsEnd)
            return false;
        header = decodeFrameRunHeader(word);
        m_at += 4;
        if (size_t(header.count) > m_runs.size() - m_at)
            return false;
        pixels = m_runs.data() + m_at;
        m_at += size_t(header.count);
        return true;
    }

private:
    std::span<const uint8_t> m_runs;
    size_t m_at = 0;
};

ScreenRect drawableClip(const BlitTarget& target, const ScreenRect& clip) { return clip.intersected(target.bounds); }

// Walks the visible part of every run: `write`(destination, index byte) for
// each pixel inside the clip. Positions are taken in 64 bits, so anchors
// anywhere in the 32-bit range cannot wrap into the clip.
template <bool Mirrored, typename Write>
void walkRuns(const BlitTarget& target, const ScreenRect& clip, int32_t anchorX, int32_t anchorY,
    std::span<const uint8_t> runs, Write write)
{
    RunCursor cursor(runs);
    FrameRunHeader run;
    const uint8_t* pixels = nullptr;
    while (cursor.next(run, pixels)) {
        int64_t row = int64_t(anchorY) + run.dy;
        if (row >= clip.bottom)
            return;
        if (row < clip.top || run.count == 0)
            continue;
        int64_t firstColumn = Mirrored ? int64_t(anchorX) - run.dx - run.count : int64_t(anchorX) + run.dx;
        int64_t begin = std::max<int64_t>(firstColumn, clip.left);
        int64_t end = std::min<int64_t>(firstColumn + run.count, clip.right);
        if (begin >= end)
            continue;
        uint16_t* destination = target.at(int32_t(begin), int32_t(row));
        int32_t skipped = int32_t(begin - firstColumn);
        int32_t count = int32_t(end - begin);
        if (Mirrored) {
            const uint8_t* source = pixels + (run.count - 1 - skipped);
            for (int32_t i = 0; i < count; ++i)
                write(destination[i], source[-i]);
        } else {
            const uint8_t* source = pixels + skipped;
            for (int32_t i = 0; i < count; ++i)
                write(destination[i], source[i]);
        }
    }
}

template <typename Write>
void walkRunsMirrored(const BlitTarget& target, const ScreenRect& clip, bool mirrored, int32_t anchorX,
    int32_t anchorY, std::span<const uint8_t> runs, Write write)
{
    if (mirrored)
        walkRuns<true>(target, clip, anchorX, anchorY, runs, write);
    else
        walkRuns<false>(target, clip, anchorX, anchorY, runs, write);
}

constexpr uint8_t kCopySource = 0xFF;
constexpr int32_t kShadeReach = 23;

uint16_t shadePixel(uint16_t pixel, uint8_t level)
{
    const auto& shade = colourTables().shade[level];
    return uint16_t(shade[redOf(pixel)] << kRedShift | shade[greenOf(pixel)] << kGreenShift | shade[blueOf(pixel)]);
}

} // namespace

void blitFrameRuns(const BlitTarget& target, const ScreenRect& clip, bool mirrored, const FrameHue& hue,
    int32_t anchorX, int32_t anchorY, const std::array<uint16_t, 256>& palette, std::span<const uint8_t> runs)
{
    ScreenRect area = drawableClip(target, clip);
    if (area.isEmpty())
        return;
    // The mode is settled once per frame: every index is mapped ahead, so a
    // pixel costs one lookup (and the shade table's three in shade mode).
    if (hue.entry >= 0 && hue.shade) {
        std::array<uint8_t, 256> levels;
        for (size_t i = 0; i < levels.size(); ++i) {
            uint16_t colour = palette[i];
            levels[i] = (hue.partial && !isGrey(colour)) ? kCopySource
                                                          : uint8_t(std::max(kShadeReach - int32_t(redOf(colour)), 0));
        }
        walkRunsMirrored(target, area, mirrored, anchorX, anchorY, runs, [&](uint16_t& destination, uint8_t index) {
            uint8_t level = levels[index];
            destination = level == kCopySource ? palette[index] : shadePixel(destination, level);
        });
        return;
    }
    std::array<uint16_t, 256> colours = palette;
    if (hue.entry >= 0) {
        const HueEntry& ramp = hueTable().entry(hue.entry);
        for (uint16_t& colour : colours) {
            if (!hue.partial || isGrey(colour))
                colour = ramp.colours[redOf(colour)];
        }
    }
    walkRunsMirrored(target, area, mirrored, anchorX, anchorY, runs,
        [&colours](uint16_t& destination, uint8_t index) { destination = colours[index]; });
}

void blitFrameShadow(const BlitTarget& target, const ScreenRect& clip, bool mirrored, int32_t anchorX,
    int32_t anchorY, std::span<const uint8_t> runs)
{
    ScreenRect area = drawableClip(target, clip);
    if (area.isEmpty())
        return;
    RunCursor cursor(runs);
    FrameRunHeader run;
    const uint8_t* pixels = nullptr;
    while (cursor.next(run, pixels)) {
        if (run.dy & 1)
            continue;
        int64_t row = int64_t(anchorY) + run.dy / 2;
        if (row >= area.bottom)
            return;
        if (row < area.top)
            continue;
        int64_t firstColumn = (mirrored ? int64_t(anchorX) - run.dx - run.count : int64_t(anchorX) + run.dx) - run.dy / 2;
        int64_t begin = std::max<int64_t>(firstColumn, area.left);
        int64_t end = std::min<int64_t>(firstColumn + run.count, area.right);
        if (begin >= end)
            continue;
        uint16_t* destination = target.at(int32_t(begin), int32_t(row));
        for (int64_t column = begin; column < end; ++column, ++destination)
            *destination = uint16_t((*destination >> 1) & kShadowMask);
    }
}

bool hitTestFrameRuns(
    int32_t pointX, int32_t pointY, bool mirrored, int32_t anchorX, int32_t anchorY, std::span<const uint8_t> runs)
{
    RunCursor cursor(runs);
    FrameRunHeader run;
    const uint8_t* pixels = nullptr;
    while (cursor.next(run, pixels)) {
        int64_t row = int64_t(anchorY) + run.dy;
        if (row > pointY)
            return false;
        if (row != pointY)
            continue;
        int64_t firstColumn = mirrored ? int64_t(anchorX) - run.dx - run.count : int64_t(anchorX) + run.dx;
        if (pointX >= firstColumn && pointX < firstColumn + run.count)
            return true;
    }
    return false;
}
