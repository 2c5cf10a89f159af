#include "windows/quest_pointer.h"

#include "gfx/gump_art.h"
#include "gfx/projection.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "protocol/general_info_packet.h"
#include "windows/item_pictures.h"
#include "windows/world_view_gump.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <algorithm>
#include <cmath>

namespace {

// The arrow's turn points were laid out with pi taken as 3.14152: the
// boundaries between arrows fall where that value puts them.
constexpr double kArrowPi = 3.14152;

PointerGump* g_pointerGump = nullptr;

} // namespace

int32_t worldDirectionStep(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const double angle = std::atan2(double(y2 - y1), double(x2 - x1));
    int32_t step = int32_t(std::trunc(angle * 128.0 / kArrowPi)) + 64;
    if (step > 256)
        step -= 256;
    return step;
}

int32_t pointerDirectionForStep(int32_t step)
{
    const int32_t direction = step / 32 + 1;
    return direction > 7 ? 0 : direction;
}

PointerGump::PointerGump(int32_t targetX, int32_t targetY)
    : CGump(0, 0, nullptr, 1, 0, 0)
    , m_targetX(targetX)
    , m_targetY(targetY)
{
    setTypeName("pointer gump");
    addKind(GumpKind::PointerGump);
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(kBaseArt, width, height);
    setSize(width, height);
    GumpPage* face = page(0);
    face->allocate(width, height);
    if (face->isAllocated())
        drawGumpArt(copySpan, kBaseArt, face->target(), 0, 0);
}

// A new gump may later take a freed arrow's address: the arrow forgets
// itself so that it is never taken for that gump.
PointerGump::~PointerGump()
{
    if (g_pointerGump == this)
        g_pointerGump = nullptr;
}

void PointerGump::tick()
{
    m_flashing = false;
    if (++m_flashCounter > kFlashPeriod) {
        m_flashCounter = 0;
        m_flashing = true;
    }
    const WorldScreen& view = worldScreen();
    ScreenPoint spot = worldToScreen(m_targetX, m_targetY, { mapView().mapWidth, view.viewPixelX, view.viewPixelY });
    if (worldViewGump()) {
        const GumpScreen& screen = gumpScreen();
        spot.x += screen.gameViewX;
        spot.y += screen.gameViewY;
        // The lower bound first, then the upper: an arrow larger than the
        // game area sits at its right or bottom edge.
        spot.x = std::max(spot.x, screen.gameViewX);
        spot.x = std::min(spot.x, screen.gameViewX + screen.gameWidth - width());
        spot.y = std::max(spot.y, screen.gameViewY);
        spot.y = std::min(spot.y, screen.gameViewY + screen.gameHeight - height());
    }
    moveBy(spot.x - x(), spot.y - y(), true, nullptr, true);
    const PlayerMobile* self = player();
    const int32_t direction
        = self ? pointerDirectionForStep(worldDirectionStep(self->x, self->y, m_targetX, m_targetY)) : 1;
    m_shownArt = kBaseArt + direction;
    GumpPage* face = page(0);
    // The page already shows this arrow in this colour.
    if (!face || !face->isAllocated() || (m_shownArt == m_paintedArt && m_flashing == m_paintedFlashing))
        return;
    m_paintedArt = m_shownArt;
    m_paintedFlashing = m_flashing;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    drawGumpArt(m_flashing ? hueSpanFor(kFlashHueIndex, false) : copySpan, m_shownArt, face->target(), 0, 0);
}

void PointerGump::draw(GumpCanvas& canvas)
{
    if (!isVisible() || !service<GameSession>().isInWorld())
        return;
    drawPage(canvas);
}

bool PointerGump::lookKey(uint64_t& key)
{
    key = uint64_t(uint32_t(m_shownArt)) * 4 + uint64_t(m_flashing) * 2
        + uint64_t(service<GameSession>().isInWorld());
    return true;
}

void PointerGump::onLeftUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    sendPointerClick(0);
}

void PointerGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    sendPointerClick(1);
}

PointerGump* pointerGump() { return isValidGump(g_pointerGump) ? g_pointerGump : nullptr; }

void setPointerGump(int32_t x, int32_t y, uint8_t active)
{
    PointerGump* arrow = pointerGump();
    if (!arrow) {
        arrow = new PointerGump(x, y);
        g_pointerGump = arrow;
        gumpLink(arrow, nullptr);
        arrow->setVisible(active != 0);
        return;
    }
    if (active == 0) {
        arrow->setVisible(false);
        return;
    }
    arrow->setTarget(x, y);
    arrow->setVisible(true);
}

void hidePointerGump()
{
    if (PointerGump* arrow = pointerGump())
        arrow->setVisible(false);
}
