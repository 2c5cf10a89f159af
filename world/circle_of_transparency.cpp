#include "world/circle_of_transparency.h"

#include "gfx/art_blitter.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_object.h"
#include "world/world_screen.h"

#include <algorithm>

namespace {

// What the run adapter needs: a span callback has no context of its own.
struct CircleDraw {
    PixelSpanFn fn = nullptr;
    BlitTarget target;
};

CircleDraw g_circleDraw;

void circleRun(uint16_t* destination, const uint16_t* source, int32_t count)
{
    const BlitTarget& target = g_circleDraw.target;
    ptrdiff_t offset = (destination - target.pixels) - target.origin;
    ptrdiff_t row = offset >= 0 ? offset / target.pitch : -((-offset + target.pitch - 1) / target.pitch);
    int32_t x = int32_t(offset - row * target.pitch);
    circleSpan(g_circleDraw.fn, destination, source, count, x, int32_t(row));
}

template <bool Shift>
uint16_t blendChannels(uint16_t over, uint16_t behind, int32_t d2, int32_t r2, int32_t shift)
{
    auto mix = [&](int32_t o, int32_t b) {
        int32_t sum = o * d2 + b * (r2 - d2);
        return Shift ? sum >> shift : sum / r2;
    };
    int32_t red = mix((over >> 10) & 31, (behind >> 10) & 31);
    int32_t green = mix((over >> 5) & 31, (behind >> 5) & 31);
    int32_t blue = mix(over & 31, behind & 31);
    return uint16_t((red << 10) | (green << 5) | blue);
}

} // namespace

CircleOfTransparency& circleOfTransparency()
{
    static CircleOfTransparency circle;
    return circle;
}

void CircleOfTransparency::init()
{
    m_radius = kDefaultRadius;
    m_centreX = m_gameWidth / 2;
    m_centreY = m_gameHeight / 2;
    rebuild();
}

void CircleOfTransparency::setRadius(int32_t radius)
{
    m_radius = std::clamp(radius, kMinRadius, kMaxRadius);
    rebuild();
}

void CircleOfTransparency::setCentre(int32_t x, int32_t y)
{
    m_centreX = std::clamp(x, 0, std::max(m_gameWidth - 1, 0));
    m_centreY = std::clamp(y, 0, std::max(m_gameHeight - 1, 0));
    rebuild();
}

void CircleOfTransparency::setGameAreaSize(int32_t width, int32_t height)
{
    m_gameWidth = width;
    m_gameHeight = height;
    setCentre(m_centreX, m_centreY);
}

void CircleOfTransparency::rebuild()
{
    m_r2 = m_radius * m_radius;
    m_shift = 0;
    if ((m_r2 & (m_r2 - 1)) == 0) {
        while ((1 << m_shift) < m_r2)
            ++m_shift;
    }
    m_bounds = { m_centreX - m_radius - 1, m_centreY - m_radius - 1, m_centreX + m_radius + 1,
        m_centreY + m_radius + 1 };
}

uint16_t CircleOfTransparency::blendShift(uint16_t over, uint16_t behind, int32_t d2, int32_t r2, int32_t shift)
{
    return blendChannels<true>(over, behind, d2, r2, shift);
}

uint16_t CircleOfTransparency::blendDivide(uint16_t over, uint16_t behind, int32_t d2, int32_t r2, int32_t shift)
{
    return blendChannels<false>(over, behind, d2, r2, shift);
}

uint16_t CircleOfTransparency::blend(uint16_t over, uint16_t behind, int32_t d2) const
{
    return m_shift != 0 ? blendShift(over, behind, d2, m_r2, m_shift) : blendDivide(over, behind, d2, m_r2, m_shift);
}

bool isInCircleOfTransparency(const WorldObject& object)
{
    if (object.isDynamic() || !object.hasItemTile())
        return false;
    const auto& item = static_cast<const StaticObject&>(object);
    if (item.graphic >= 6038 && item.graphic <= 6066)
        return false;
    const PlayerMobile* self = player();
    int32_t playerZ = self ? self->z : 0;
    if (item.z + item.tileHeight() <= playerZ + 5)
        return false;
    const WorldScreen& screen = worldScreen();
    ScreenRect box { object.screenRect.left - screen.viewPixelX, object.screenRect.top - screen.viewPixelY,
        object.screenRect.right - screen.viewPixelX, object.screenRect.bottom - screen.viewPixelY };
    return box.overlaps(circleOfTransparency().bounds());
}

void circleSpan(PixelSpanFn fn, uint16_t* destination, const uint16_t* source, int32_t count, int32_t x, int32_t y)
{
    const CircleOfTransparency& circle = circleOfTransparency();
    int32_t r2 = circle.radiusSquared();
    int32_t dy = y - circle.centreY();
    int32_t dy2 = dy * dy;
    if (dy2 > r2) {
        fn(destination, source, count);
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        int32_t dx = x + i - circle.centreX();
        int32_t d2 = dy2 + dx * dx;
        if (d2 > r2) {
            fn(destination + i, source + i, 1);
            continue;
        }
        uint16_t behind = destination[i];
        uint16_t over = source[i];
        if (fn != copySpan) {
            uint16_t drawn = behind;
            fn(&drawn, source + i, 1);
            over = drawn;
        }
        destination[i] = circle.blend(over, behind, d2);
    }
}

void blitArtThroughCircle(
    PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y)
{
    if (target.pitch <= 0)
        return;
    g_circleDraw = { fn, target };
    blitArtClipped(circleRun, image, target, clip, x, y);
    g_circleDraw = {};
}
