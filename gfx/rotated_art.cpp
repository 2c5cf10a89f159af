#include "gfx/rotated_art.h"

#include "gfx/colour_tables.h"
#include "gfx/pixel_spans.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Walks the box's visible pixels and hands every non-zero source pixel with
// its destination to `write`. The source point is kept in two 16.16
// accumulators stepped per pixel and per row; each step adds exactly what the
// direct formula would, so the result does not drift.
template <typename Write>
void rotateInBox(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x, int32_t y,
    int32_t angle, const ScreenRect* clip, Write write)
{
    if (!image || !box || !clip)
        return;
    const SinCosTable& table = buildSinCosTables();
    const int64_t sine = table.sine[size_t(angle & 255)];
    const int64_t cosine = table.cosine[size_t(angle & 255)];
    const int64_t halfWidth = image->width() / 2;
    const int64_t halfHeight = image->height() / 2;

    ScreenRect area = clip->intersected(target.bounds);
    area = area.intersected({ x, y, int32_t(std::min<int64_t>(int64_t(x) + box->width(), INT32_MAX)),
        int32_t(std::min<int64_t>(int64_t(y) + box->height(), INT32_MAX)) });
    if (area.isEmpty())
        return;

    // Image-frame point of the area's top-left.
    const int64_t firstX = int64_t(box->left) + (area.left - x);
    const int64_t firstY = int64_t(box->top) + (area.top - y);
    int64_t rowA = (firstX - halfWidth) * cosine - (halfHeight - firstY) * sine;
    int64_t rowB = (halfHeight - firstY) * cosine + (firstX - halfWidth) * sine;
    for (int32_t ty = area.top; ty < area.bottom; ++ty) {
        int64_t a = rowA;
        int64_t b = rowB;
        for (int32_t tx = area.left; tx < area.right; ++tx) {
            int64_t sx = halfWidth + (a >> 16);
            int64_t sy = halfHeight - (b >> 16);
            if (sx >= 0 && sy >= 0 && sx < image->width() && sy < image->height()) {
                uint16_t source = getArtPixel(image, int32_t(sx), int32_t(sy));
                if (source != 0)
                    write(target.at(tx, ty), source);
            }
            a += cosine;
            b += sine;
        }
        rowA += sine;
        rowB -= cosine;
    }
}

} // namespace

const SinCosTable& buildSinCosTables()
{
    static const SinCosTable table = [] {
        SinCosTable t;
        for (int i = 0; i < 256; ++i) {
            double radians = i * 2.0 * std::numbers::pi / 256.0;
            t.sine[size_t(i)] = int32_t(std::sin(radians) * 65536.0);
            t.cosine[size_t(i)] = int32_t(std::cos(radians) * 65536.0);
        }
        return t;
    }();
    return table;
}

void rotateBounds(int32_t angle, ScreenRect* rect)
{
    if (!rect)
        return;
    const SinCosTable& table = buildSinCosTables();
    const int64_t sine = table.sine[size_t(angle & 255)];
    const int64_t cosine = table.cosine[size_t(angle & 255)];
    const int64_t centreX = rect->left + ((int64_t(rect->right) - rect->left) >> 1);
    const int64_t centreY = rect->top + ((int64_t(rect->bottom) - rect->top) >> 1);
    const int64_t cornersX[4] = { rect->left, rect->right, rect->left, rect->right };
    const int64_t cornersY[4] = { rect->top, rect->top, rect->bottom, rect->bottom };
    int64_t left = 9999;
    int64_t top = 9999;
    int64_t right = -9999;
    int64_t bottom = -9999;
    for (int i = 0; i < 4; ++i) {
        int64_t dx = cornersX[i] - centreX;
        int64_t dy = cornersY[i] - centreY;
        int64_t turnedX = centreX + ((dx * cosine - dy * sine) >> 16);
        int64_t turnedY = centreY - ((dx * sine + dy * cosine) >> 16);
        left = std::min(left, turnedX);
        right = std::max(right, turnedX);
        top = std::min(top, turnedY);
        bottom = std::max(bottom, turnedY);
    }
    auto narrow = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    *rect = { narrow(left), narrow(top), narrow(right), narrow(bottom) };
}

void blitArtRotatedInBox(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x, int32_t y,
    int32_t angle, const ScreenRect* clip)
{
    rotateInBox(image, box, target, x, y, angle, clip,
        [](uint16_t* destination, uint16_t source) { blendTableSpan(destination, &source, 1); });
}

void blitArtRotatedInBoxHueBlend(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x,
    int32_t y, int32_t angle, const ScreenRect* clip, const HueEntry& hue)
{
    rotateInBox(image, box, target, x, y, angle, clip, [&hue](uint16_t* destination, uint16_t source) {
        uint16_t hued = hue.colours[greenOf(source)];
        blendTableSpan(destination, &hued, 1);
    });
}

void blitArtRotatedInBoxGreyHue(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x,
    int32_t y, int32_t angle, const ScreenRect* clip, const HueEntry& hue)
{
    const ColourTables& tables = colourTables();
    rotateInBox(image, box, target, x, y, angle, clip, [&hue, &tables](uint16_t* destination, uint16_t source) {
        *destination = hue.colours[tables.greyIndex[source] & 31];
    });
}

void blitArtRotatedInBoxCopy(const ArtImage* image, const ScreenRect* box, const BlitTarget& target, int32_t x,
    int32_t y, int32_t angle, const ScreenRect* clip)
{
    rotateInBox(image, box, target, x, y, angle, clip, [](uint16_t* destination, uint16_t source) {
        *destination = source;
    });
}
