#include "windows/picture_windows.h"

#include "gfx/art_blitter.h"
#include "gfx/art_cache.h"
#include "gfx/gump_art.h"
#include "gump/gump_canvas.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"

#include <algorithm>
#include <string>

DumbGump::DumbGump(int32_t x, int32_t y, int32_t width, int32_t height, int32_t itemArtId, const uint16_t* pixels,
    int32_t gumpArt)
    : CGump(x, y, nullptr, 1, width, height)
    , m_itemArtId(itemArtId)
{
    setTypeName("dumb gump");
    GumpPage* face = page(0);
    face->allocate(width, height);
    if (pixels && face->isAllocated())
        std::copy(pixels, pixels + face->pixels.size(), face->pixels.begin());
    if (gumpArt != -1 && face->isAllocated())
        drawGumpArt(copySpan, gumpArt, face->target(), 0, 0);
}

void DumbGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    int32_t x = 0;
    int32_t y = 0;
    localToScreen(x, y);
    if (!ScreenRect { x, y, x + width(), y + height() }.overlaps(canvas.clip()))
        return;
    if (m_itemArtMode) {
        blitArtClipped(copySpan, getArtImage(m_itemArtId), canvas.target(), &canvas.clip(), x, y);
        return;
    }
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    drawImageClipped(m_translucent ? blendSpan75 : copySpanTransparent, face->pixels.data(), face->width,
        face->height, canvas.target(), &canvas.clip(), x, y);
}

SignGump::SignGump(int32_t x, int32_t y, int32_t art, std::string_view text, uint32_t ownerSerial)
    : CGump(x, y, nullptr, 1, 0, 0)
{
    setTypeName("sign gump");
    addKind(GumpKind::Sign);
    setOwnerSerial(ownerSerial);
    int32_t artWidth = 0;
    int32_t artHeight = 0;
    getGumpArtSize(art, artWidth, artHeight);
    setSize(artWidth, artHeight);
    GumpPage* face = page(0);
    face->allocate(artWidth, artHeight);
    if (!face->isAllocated())
        return;
    drawGumpArt(copySpan, art, face->target(), 0, 0);
    // The content rectangle of the art is inclusive.
    const ScreenRect area = containerItemArea(art);
    const TextClip clip { area.left, area.top, area.right + 1, area.bottom + 1 };
    const std::string shown(text);
    drawAsciiTextWrapped(area.left, area.top, kTextFont, kTextHue, shown.c_str(), area.right - area.left + 1,
        face->surface(), clip, 0, 0, false);
}

void SignGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    m_dragging = true;
    setDragAnchor(x, y);
}

void SignGump::onDrag(int32_t x, int32_t y)
{
    if (m_dragging)
        moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

void SignGump::onLeftUp(int32_t, int32_t)
{
    m_dragging = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
}

void SignGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

SignGump* findSignGump(uint32_t serial)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::Sign) && gump->ownerSerial() == serial)
            return static_cast<SignGump*>(gump);
    }
    return nullptr;
}
