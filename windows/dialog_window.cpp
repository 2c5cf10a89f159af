#include "windows/dialog_window.h"

#include "gfx/art_blitter.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "text/ascii_font.h"
#include "windows/item_pictures.h"

#include <string>
#include <vector>

DialogWindow::DialogWindow(int32_t x, int32_t y, WorldObject* owner)
    : CGump(x, y, owner, 1, 0, 0)
{
}

void DialogWindow::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawPage(canvas);
    drawChildren(canvas);
}

void DialogWindow::onLeftDown(int32_t x, int32_t y)
{
    setDragAnchor(x, y);
    bringToFront(false);
}

void DialogWindow::onLeftUp(int32_t, int32_t) { releaseCapture(); }

void DialogWindow::onRightUp(int32_t, int32_t)
{
    releaseCapture();
    closeGump(this);
}

void DialogWindow::onDrag(int32_t x, int32_t y)
{
    moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
}

bool DialogWindow::makePageFromArt(int32_t art)
{
    int32_t width = 0;
    int32_t height = 0;
    if (!getGumpArtSize(art, width, height))
        return false;
    setSize(width, height);
    GumpPage& face = *page(0);
    face.allocate(width, height);
    drawArt(art, 0, 0);
    return true;
}

void DialogWindow::drawArt(int32_t art, int32_t x, int32_t y)
{
    GumpPage* face = page(0);
    if (face && face->isAllocated())
        drawGumpArt(copySpanTransparent, art, face->target(), x, y);
}

void DialogWindow::releaseCapture() { service<GumpPointer>().clearPointerCaptureIf(this); }

int32_t asciiBaseline(int32_t font)
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(font, "Aq", width, height, baseline);
    return baseline;
}

void drawAsciiLine(GumpPage& page, int32_t font, int32_t hue, int32_t x, int32_t top, std::string_view text)
{
    if (!page.isAllocated())
        return;
    const TextSurface surface = page.surface();
    drawAsciiText(x, top + asciiBaseline(font), font, hue, std::string(text).c_str(), surface, wholeSurface(surface));
}

int32_t asciiLineWidth(int32_t font, std::string_view text)
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(font, std::string(text).c_str(), width, height, baseline);
    return width;
}

void drawItemPicture(
    GumpPage& page, const ArtImage* image, PixelSpanFn span, int32_t x, int32_t y, const ScreenRect& clip)
{
    if (!page.isAllocated() || !image)
        return;
    const ScreenRect area = clip.intersected({ 0, 0, page.width, page.height });
    if (area.isEmpty())
        return;
    if (!isGumpArt565()) {
        blitArtClipped(span, image, page.target(), &area, x, y);
        return;
    }
    // Drawn onto a cleared layer, converted, then laid over the page.
    std::vector<uint16_t> layer(page.pixels.size(), 0);
    blitArtClipped(span, image, BlitTarget::surface(layer.data(), page.width, page.height, page.width), &area, x, y);
    convertPixelsTo565(layer.data(), layer.size());
    for (int32_t row = area.top; row < area.bottom; ++row) {
        const ptrdiff_t at = ptrdiff_t(row) * page.width + area.left;
        copyPixelsSkippingZero(page.pixels.data() + at, layer.data() + at, area.right - area.left);
    }
}
