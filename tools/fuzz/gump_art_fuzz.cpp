// Decodes an arbitrary gump-art record, reads its pixels and draws it, plain,
// clipped and turned, into a small target framed by guard pixels that must
// stay untouched; nothing may be drawn outside the clip.
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"

#include "fuzz_byte_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr int32_t kWidth = 24;
constexpr int32_t kHeight = 16;
constexpr int32_t kGuard = 64;
constexpr uint16_t kGuardValue = 0x5A5A;

void checkGuards(const std::vector<uint16_t>& memory)
{
    for (int32_t i = 0; i < kGuard; ++i)
        if (memory[size_t(i)] != kGuardValue || memory[memory.size() - 1 - size_t(i)] != kGuardValue)
            abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 11)
        return 0;
    // Two bytes of size (width, height up to 255), six of placement, one
    // turn, then the record.
    const uint32_t extra = uint32_t(data[0]) << 16 | uint32_t(data[1]);
    const int32_t x = fuzz::nearPosition(data[2]), y = fuzz::nearPosition(data[3]);
    const ScreenRect clip { fuzz::nearPosition(data[4]) / 4, fuzz::nearPosition(data[5]) / 4, fuzz::nearPosition(data[6]) / 2, fuzz::nearPosition(data[7]) / 2 };
    const QuarterTurn turn = QuarterTurn(data[8] & 3);
    std::optional<GumpArtImage> image = GumpArtImage::fromRecord({ data + 9, size - 9 }, extra);
    if (!image)
        return 0;

    for (int32_t py = -1; py <= image->height() && py < 64; ++py)
        for (int32_t px = -1; px <= image->width() && px < 64; ++px)
            image->pixel(px, py);

    std::vector<uint16_t> memory(kGuard + kWidth * kHeight + kGuard, kGuardValue);
    std::fill(memory.begin() + kGuard, memory.end() - kGuard, 0);
    BlitTarget target = BlitTarget::surface(memory.data() + kGuard, kWidth, kHeight, kWidth);
    drawGumpImageClipped(copySpan, *image, target, &clip, x, y);
    drawGumpImageClipped(copySpanTransparent, *image, target, &target.bounds, x, y);
    checkGuards(memory);
    // Inside the target, nothing outside the clip may change when only the
    // clipped blits run.
    std::fill(memory.begin() + kGuard, memory.end() - kGuard, 0);
    drawGumpImageClipped(copySpan, *image, target, &clip, x, y);
    drawGumpImageRotated(copySpan, *image, target, &clip, x, y, turn);
    checkGuards(memory);
    for (int32_t py = 0; py < kHeight; ++py)
        for (int32_t px = 0; px < kWidth; ++px)
            if (!clip.contains(px, py) && *target.at(px, py) != 0)
                abort();
    return 0;
}
