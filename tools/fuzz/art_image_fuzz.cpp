// Decodes an arbitrary run-length art record, reads pixels from it and blits
// it, clipped, into a small target framed by guard pixels that must stay
// untouched.
#include "fuzz_byte_reader.h"

#include "gfx/art_blitter.h"
#include "gfx/art_image.h"

#include "fuzz_byte_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kWidth = 24;
constexpr int32_t kHeight = 16;
constexpr int32_t kGuard = 64;
constexpr uint16_t kGuardValue = 0x5A5A;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    // The first six bytes place the image and the clip; the rest is the record.
    const int32_t x = fuzz::nearPosition(data[0]), y = fuzz::nearPosition(data[1]);
    const ScreenRect clip { fuzz::nearPosition(data[2]) / 4, fuzz::nearPosition(data[3]) / 4, fuzz::nearPosition(data[4]) / 2, fuzz::nearPosition(data[5]) / 2 };
    std::unique_ptr<ArtImage> image = ArtImage::parse({ data + 6, size - 6 });
    if (!image)
        return 0;

    for (int32_t py = -1; py <= image->height() && py < 64; ++py)
        for (int32_t px = -1; px <= image->width() && px < 64; ++px)
            getArtPixel(image.get(), px, py);

    std::vector<uint16_t> memory(kGuard + kWidth * kHeight + kGuard, kGuardValue);
    std::fill(memory.begin() + kGuard, memory.end() - kGuard, 0);
    BlitTarget target = BlitTarget::surface(memory.data() + kGuard, kWidth, kHeight, kWidth);
    blitArtClipped(copySpan, image.get(), target, &clip, x, y);
    blitArt(copySpanTransparent, image.get(), target, x, y);
    for (int32_t i = 0; i < kGuard; ++i)
        if (memory[size_t(i)] != kGuardValue || memory[memory.size() - 1 - size_t(i)] != kGuardValue)
            abort();
    // Inside the target, nothing outside the clip may change when only the
    // clipped blit runs.
    std::fill(memory.begin() + kGuard, memory.end() - kGuard, 0);
    blitArtClipped(copySpan, image.get(), target, &clip, x, y);
    for (int32_t py = 0; py < kHeight; ++py)
        for (int32_t px = 0; px < kWidth; ++px)
            if (!clip.contains(px, py) && *target.at(px, py) != 0)
                abort();
    return 0;
}
