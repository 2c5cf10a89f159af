#pragma once
// What a headless display shows, read back as one picture, for the tests
// that run the whole program and keep what it showed: as a PNG beside the
// build for a person to look at, and as a hash for a golden.

#include "platform/headless/headless_display.h"
#include "support/png_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct ShownPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> pixels; // row by row, `width` apart

    uint16_t at(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

inline ShownPicture shownPicture(const platform::HeadlessDisplay& display)
{
    ShownPicture picture { display.frameWidth(), display.frameHeight(), {} };
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x)
            picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] = uint16_t(display.pixel(x, y));
    return picture;
}

// Writes the picture as `fileName` in the pictures folder and returns its hash.
inline uint64_t keepPicture(const ShownPicture& picture, const std::string& fileName)
{
    writeSurfacePng(picturePath(fileName), picture.pixels.data(), picture.width, picture.height, picture.width);
    return surfaceHash(picture.pixels.data(), picture.width, picture.height, picture.width);
}

} // namespace test
