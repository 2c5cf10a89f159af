#pragma once
// The world picture of a course map, made from the multi map image: a file
// of uint32 width W and height H (little-endian), then run bytes whose low
// seven bits count pixels along rows of W, land when bit 7 is set. The land
// pixels inside the world rectangle a map shows are counted into the map's
// pixels, and the counts coloured with a hue ramp, densest darkest. Reading
// stops at the end of the file or once W x H pixels are covered, whichever
// comes first. Main thread only.

#include <cstdint>
#include <span>
#include <vector>

inline constexpr char kMultiMapFileName[] = "Multimap.rle";
// The world the image covers, in world cells.
inline constexpr int32_t kMultiMapWorldWidth = 5120;
inline constexpr int32_t kMultiMapWorldHeight = 4096;

// x1, y1, x2, y2 in world cells.
struct CourseArea {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
};

// Land pixels per map pixel, row by row (mapWidth x mapHeight, each at most
// 255); empty when the file holds no whole header or an empty image.
std::vector<uint8_t> countMultiMapLand(
    std::span<const uint8_t> file, const CourseArea& area, int32_t mapWidth, int32_t mapHeight);

// Colours for the counts: 0 for none, else ramp[31 x (J - k) / J] for a
// count k, J being the highest count.
std::vector<uint16_t> colourMultiMapLand(std::span<const uint8_t> counts, const uint16_t (&ramp)[32]);
