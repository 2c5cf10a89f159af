#include "windows/damage_numbers.h"

#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gfx/gump_art.h"
#include "platform/clock.h"
#include "text/ascii_font.h"
#include "windows/overhead_text.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <algorithm>
#include <list>

namespace {

constexpr int32_t kWrapWidth = 200;
constexpr uint16_t kPlayerHue = 52;
constexpr uint16_t kOtherHue = 33;
constexpr int32_t kBody47 = 47;
constexpr int32_t kBody47Lift = 150;
constexpr int32_t kLooseX = 10;
constexpr int32_t kLooseY = 400;
constexpr int32_t kAnchorShift = 10;

// Newest first.
std::list<DamageNumbersGump*>& damageNumberList()
{
    static std::list<DamageNumbersGump*> list;
    return list;
}

} // namespace

DamageNumbersGump::DamageNumbersGump(uint32_t serial, int32_t damage, uint16_t hue)
    : m_serial(serial)
    , m_creationTime(platform::clock().tickMs())
    , m_endTime(m_creationTime + kLifeMs)
    , m_fadeTime(m_creationTime + kFadeAfterMs)
    , m_lastStepTime(m_creationTime)
    , m_text(std::to_string(damage))
    , m_hue(hue)
{
    setTypeName("DamageNumbers Gump");
    addKind(GumpKind::DamageNumbers);
    int32_t width = 0, height = 0, baseline = 0;
    wrapAsciiText(kFont, m_text.c_str(), kWrapWidth, width, height, baseline, 0);
    width = std::max(width, 1);
    height = std::max(height, 1);
    setPageCount(1);
    setSize(width, height);
    page(0)->allocate(width, height);
    TextSurface surface = page(0)->surface();
    drawAsciiTextWrapped(0, 0, kFont, hue, m_text.c_str(), width, surface, wholeSurface(surface), 0, 0, false);
    gumpLink(this, nullptr);
    placeOverMobile();
    std::list<DamageNumbersGump*>& list = damageNumberList();
    list.push_front(this);
    for (DamageNumbersGump* other : list) {
        if (other == this || other->m_serial != m_serial)
            continue;
        if (y() < other->y() + kMinimumGap) {
            m_spacing = other->y() - y() + kMinimumGap;
            if (m_spacing > kMaximumSpacing)
                m_spacing = 0;
            placeOverMobile();
        }
        break;
    }
}

DamageNumbersGump::~DamageNumbersGump() { damageNumberList().remove(this); }

void DamageNumbersGump::placeOverMobile()
{
    WorldObject* object = findObjectBySerial(m_serial);
    if (object) {
        int32_t x = kLooseX;
        int32_t y = kLooseY;
        if (object->isMobile()) {
            const ScreenRect& bounds = object->screenRect;
            x = bounds.left + (bounds.right - bounds.left) / 2;
            y = static_cast<Mobile*>(object)->graphic == kBody47 ? bounds.bottom - kBody47Lift : bounds.top;
        }
        m_anchorX = x - width() / 2 - kAnchorShift;
        m_anchorY = y;
    }
    rise();
}

void DamageNumbersGump::rise()
{
    const WorldScreen& view = worldScreen();
    const GumpScreen& screen = gumpScreen();
    const uint32_t now = platform::clock().tickMs();
    int32_t x = m_anchorX - view.viewPixelX + screen.gameViewX;
    int32_t y = m_anchorY - view.viewPixelY + m_spacing + screen.gameViewY;
    m_risen += float(now - m_lastStepTime) * (1.0f / 24.0f) * kSpeed;
    m_lastStepTime = now;
    y -= int32_t(m_risen);
    x = std::clamp(x, 0, std::max(0, screen.gameWidth - 1 - width()));
    y -= height();
    y = std::clamp(y, 0, std::max(0, screen.gameHeight - 1 - height()));
    if (x != this->x() || y != this->y())
        moveTo(x, y, true, nullptr, false);
}

void DamageNumbersGump::riseStep()
{
    const uint32_t now = platform::clock().tickMs();
    if (int32_t(now - m_endTime) > 0) {
        closeGump(this);
        return;
    }
    if (int32_t(now - m_fadeTime) > 0)
        m_fading = true;
    rise();
}

void DamageNumbersGump::draw(GumpCanvas& canvas)
{
    GumpPage* face = page(0);
    if (!isVisible() || !face || !face->isAllocated())
        return;
    if (m_fading)
        drawPageHalfBlended(canvas, screenRect(), *face);
    else
        drawPage(canvas);
}

void showDamageNumber(uint32_t serial, int32_t damage)
{
    if (damage == 0)
        return;
    new DamageNumbersGump(serial, damage, serial == playerSerial() ? kPlayerHue : kOtherHue);
}
