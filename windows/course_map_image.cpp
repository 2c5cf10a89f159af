#include "windows/course_map_image.h"

#include <algorithm>

namespace {

uint32_t le32At(std::span<const uint8_t> bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
        | uint32_t(bytes[at + 3]) << 24;
}

constexpr size_t kHeaderSize = 8;
constexpr uint8_t kLandBit = 0x80;
constexpr uint8_t kRunMask = 0x7F;

} // namespace

std::vector<uint8_t> countMultiMapLand(
    std::span<const uint8_t> file, const CourseArea& area, int32_t mapWidth, int32_t mapHeight)
{
    if (file.size() < kHeaderSize || mapWidth <= 0 || mapHeight <= 0)
        return {};
    const int64_t imageWidth = le32At(file, 0);
    const int64_t imageHeight = le32At(file, 4);
    if (imageWidth == 0 || imageHeight == 0)
        return {};
    const int64_t x1 = int64_t(area.x1) * imageWidth / kMultiMapWorldWidth;
    const int64_t x2 = int64_t(area.x2) * imageWidth / kMultiMapWorldWidth;
    const int64_t y1 = int64_t(area.y1) * imageHeight / kMultiMapWorldHeight;
    const int64_t y2 = int64_t(area.y2) * imageHeight / kMultiMapWorldHeight;
    const int64_t scaleX = int64_t(mapWidth) * 256 / std::max<int64_t>(x2 - x1, 1);
    const int64_t scaleY = int64_t(mapHeight) * 256 / std::max<int64_t>(y2 - y1, 1);
    std::vector<uint8_t> counts(size_t(mapWidth) * size_t(mapHeight), 0);
    const uint64_t covered = uint64_t(imageWidth) * uint64_t(imageHeight);
    uint64_t position = 0;
    // Rows below the rectangle add nothing: reading stops there.
    const uint64_t lastRow = uint64_t(std::max<int64_t>(y2, 0));
    for (size_t at = kHeaderSize; at < file.size() && position < covered; ++at) {
        if (position / uint64_t(imageWidth) > lastRow)
            break;
        const uint8_t run = file[at];
        const uint64_t length = std::min<uint64_t>(run & kRunMask, covered - position);
        if (!(run & kLandBit)) {
            position += length;
            continue;
        }
        for (uint64_t i = 0; i < length; ++i, ++position) {
            const int64_t x = int64_t(position % uint64_t(imageWidth));
            const int64_t y = int64_t(position / uint64_t(imageWidth));
            if (x < x1 || x > x2 || y < y1 || y > y2)
                continue;
            // The rectangle's last column and row are inside it too: they
            // are kept on the map's last column and row.
            const int64_t mapX = std::min<int64_t>(((x - x1) * scaleX) >> 8, mapWidth - 1);
            const int64_t mapY = std::min<int64_t>((y * scaleY - y1 * scaleY) >> 8, mapHeight - 1);
            uint8_t& count = counts[size_t(mapY) * size_t(mapWidth) + size_t(mapX)];
            if (count < 255)
                ++count;
        }
    }
    return counts;
}

std::vector<uint16_t> colourMultiMapLand(std::span<const uint8_t> counts, const uint16_t (&ramp)[32])
{
    std::vector<uint16_t> colours(counts.size(), 0);
    const int32_t highest = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    if (highest == 0)
        return colours;
    for (size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] > 0)
            colours[i] = ramp[31 * (highest - counts[i]) / highest];
    }
    return colours;
}
