// The composition of the gump layer into the ring back buffer: the pixels
// under every gump are saved, the gumps drawn bottom to top, the frame shown,
// and the saved pixels put back, so that between frames the back buffer holds
// the world alone.
#include "gfx/back_buffer.h"
#include "gump/gump_canvas.h"
#include "gump/gump_looks.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "platform/clock.h"

#include <cstring>

namespace {

void restoreSavedPixels()
{
    GumpManager& manager = gumpManager();
    BackBuffer* buffer = manager.backBuffer;
    if (buffer && buffer->exists())
        manager.restoreQueue.restore(buffer->pixels(), buffer->width());
    else
        manager.restoreQueue.clear();
}

void presentAndRestore(const ScreenRect& rect)
{
    gumpPresent(rect);
    restoreSavedPixels();
}

void updateMenubar()
{
    GumpManager& manager = gumpManager();
    if (manager.settings.disableMenubar) {
        closeGump(manager.menubar);
        manager.menubar = nullptr;
        return;
    }
    if (!isValidGump(manager.menubar)) {
        manager.menubar = service<MenubarWindow>().createMenubar();
        if (!isValidGump(manager.menubar)) {
            manager.menubar = nullptr;
            return;
        }
        gumpLink(manager.menubar, nullptr);
    }
    manager.menubar->bringToFront(true);
}

// Places the hover tooltip once the pointer rested on one gump showing one
// text for longer than the delay; W and H are the screen's size.
void showHoverTooltip(int32_t screenWidth, int32_t screenHeight)
{
    GumpManager& manager = gumpManager();
    GumpPointer& pointer = service<GumpPointer>();
    int32_t x = 0;
    int32_t y = 0;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    pointer.pointerPosition(x, y);
    pointer.cursorOffsets(offsetX, offsetY);
    CGump* gump = gumpHitTest(x, y, nullptr, false);
    WString text;
    if (gump && std::strcmp(gump->typeName(), "tutorial gump") != 0) {
        int32_t localX = x;
        int32_t localY = y;
        gump->screenToLocal(localX, localY);
        text = gump->getTooltipText(localX, localY);
    }
    const uint32_t now = platform::clock().tickMs();
    if (gump != manager.tooltipGump || !text.equals(manager.tooltipText)) {
        manager.tooltipGump = gump;
        manager.tooltipText = text;
        manager.tooltipSince = now;
        return;
    }
    if (now - manager.tooltipSince <= manager.settings.toolTipPreDelayMs || text.isEmpty())
        return;
    CGump* tooltip = service<TooltipWindow>().createTooltip(x, y, text);
    if (!isValidGump(tooltip))
        return;
    gumpLink(tooltip, nullptr);
    manager.tooltip = tooltip;
    // Left of the pointer on the screen's right half, right of it (by the
    // cursor's offset) on the left half; above it on the lower half.
    int32_t placedX = x > screenWidth / 2 ? x - tooltip->width() : (offsetX <= 250 ? x + offsetX : x);
    int32_t placedY = y > screenHeight / 2 ? y - tooltip->height() : y;
    if (placedX >= screenWidth || placedY >= screenHeight) {
        closeGump(tooltip);
        manager.tooltip = nullptr;
        return;
    }
    if (placedX + tooltip->width() > screenWidth)
        placedX -= placedX + tooltip->width() - screenWidth;
    if (placedY + tooltip->height() > screenHeight)
        placedY -= placedY + tooltip->height() - screenHeight;
    tooltip->setLocation(placedX, placedY);
}

// Draws `gump` into the piece where it meets `rect`: nothing it draws can
// stay behind in the world's pixels, since it draws only where its pixels
// were saved. A gump without a face of its own is drawn as its children.
void drawIntoPiece(CGump* gump, const ScreenRect& rect, ptrdiff_t origin)
{
    GumpManager& manager = gumpManager();
    BackBuffer& buffer = *manager.backBuffer;
    auto drawOne = [&](CGump* drawn) {
        const ScreenRect bounds = drawn->composedBounds();
        const ScreenRect area = bounds.intersected(rect);
        if (area.isEmpty())
            return;
        manager.composedRects.push_back(bounds);
        GumpCanvas narrowed({ buffer.pixels(), origin, buffer.width(), area }, &manager.restoreQueue, nullptr,
            buffer.width(), buffer.height());
        drawn->draw(narrowed);
    };
    if (gump->hasOwnFace()) {
        drawOne(gump);
        return;
    }
    GumpListCursor children(gump->lastChild(), GumpListCursor::Direction::Up);
    while (CGump* child = children.take()) {
        if (child->isVisible())
            drawOne(child);
    }
}

// One piece of a composition that does not straddle the ring's wrap point;
// `origin` is the ring index of screen pixel (0, 0) for this piece.
void composePiece(const ScreenRect& rect, ptrdiff_t origin)
{
    GumpManager& manager = gumpManager();
    BackBuffer& buffer = *manager.backBuffer;
    const int32_t width = buffer.width();
    const int32_t height = buffer.height();
    const BlitTarget target { buffer.pixels(), origin, width, rect };
    manager.savedRects.setArea(width, height);
    manager.savedRects.clear();
    GumpCanvas canvas(target, &manager.restoreQueue, &manager.savedRects, width, height);

    GumpListCursor saving(manager.tail, GumpListCursor::Direction::Up);
    while (CGump* gump = saving.take())
        gump->saveUnder(canvas);
    GumpListCursor drawing(manager.tail, GumpListCursor::Direction::Up);
    while (CGump* gump = drawing.take()) {
        if (gump->isVisible())
            drawIntoPiece(gump, rect, origin);
    }
}

// Composes `rect` (inside the screen, not empty) in the pieces the ring's
// wrap point cuts it into; returns the last piece.
ScreenRect composeRect(const ScreenRect& rect)
{
    GumpManager& manager = gumpManager();
    BackBuffer& buffer = *manager.backBuffer;
    const int32_t width = buffer.width();
    // Screen pixel (0, 0) lies at ring index o; the composition may not run
    // over the ring's end, where the next index is 0 again.
    const int64_t count = buffer.pixelCount();
    int64_t o = (buffer.ringStart() - int64_t(width) * manager.screen.gameViewY - manager.screen.gameViewX) % count;
    if (o < 0)
        o += count;
    const int64_t first = int64_t(rect.top) * width + rect.left;
    const int64_t last = int64_t(rect.bottom - 1) * width + rect.right - 1;
    const int64_t wrap = count - o;
    if (first < wrap && wrap <= last) {
        const int32_t row = int32_t(wrap / width);
        const int32_t column = int32_t(wrap % width);
        ScreenRect pieces[4];
        int pieceCount = 2;
        if (column <= rect.left) {
            pieces[0] = { rect.left, rect.top, rect.right, row };
            pieces[1] = { rect.left, row, rect.right, rect.bottom };
        } else if (column >= rect.right) {
            pieces[0] = { rect.left, rect.top, rect.right, row + 1 };
            pieces[1] = { rect.left, row + 1, rect.right, rect.bottom };
        } else {
            pieceCount = 4;
            pieces[0] = { rect.left, rect.top, column, row + 1 };
            pieces[1] = { column, rect.top, rect.right, row };
            pieces[2] = { column, row, rect.right, rect.bottom };
            pieces[3] = { rect.left, row + 1, column, rect.bottom };
        }
        for (int i = 0; i < pieceCount; ++i) {
            if (!pieces[i].isEmpty())
                composeRect(pieces[i]);
        }
        return pieces[pieceCount - 1];
    }
    composePiece(rect, ptrdiff_t(first >= wrap ? o - count : o));
    return rect;
}

// The hover tooltip lives for one composition: made before it (as the top
// gump), gone after it.
void beginComposition(int32_t width, int32_t height)
{
    updateMenubar();
    if (gumpManager().settings.useToolTips)
        showHoverTooltip(width, height);
}

void endComposition()
{
    GumpManager& manager = gumpManager();
    closeGump(manager.tooltip);
    manager.tooltip = nullptr;
}

// The present step's own work: effects step, status windows refresh, the
// frame goes out.
void presentFrame(const ScreenRect& rect)
{
    GumpManager& manager = gumpManager();
    if (manager.presentationOff)
        return;
    manager.presentRect = rect.intersected({ 0, 0, manager.screen.width, manager.screen.height });
    service<WorldEffects>().stepEffects();
    GumpListCursor cursor(manager.head);
    while (CGump* gump = cursor.take()) {
        if (gump->is(GumpKind::StatusGump))
            gump->refreshBeforePresent();
    }
    service<GumpPresenter>().presentBackBuffer(manager.presentRect);
}

} // namespace

RestoreQueue::RestoreQueue()
    : m_entries(size_t(kCapacity))
{
}

bool RestoreQueue::save(const uint16_t* pixels, ptrdiff_t origin, int32_t pitch, const ScreenRect& rect)
{
    if (m_count >= kCapacity)
        return false;
    Entry& entry = m_entries[size_t(m_count++)];
    entry = { origin, rect, m_pixels.size() };
    const size_t width = size_t(rect.width());
    for (int32_t row = rect.top; row < rect.bottom; ++row) {
        const uint16_t* from = pixels + (origin + ptrdiff_t(row) * pitch + rect.left);
        m_pixels.insert(m_pixels.end(), from, from + width);
    }
    return true;
}

void RestoreQueue::restore(uint16_t* pixels, int32_t pitch)
{
    // Newest first: where two saves overlap, the older one holds the world.
    for (int32_t i = m_count - 1; i >= 0; --i) {
        const Entry& entry = m_entries[size_t(i)];
        const size_t width = size_t(entry.rect.width());
        const uint16_t* from = m_pixels.data() + entry.firstPixel;
        for (int32_t row = entry.rect.top; row < entry.rect.bottom; ++row, from += width)
            std::memcpy(pixels + (entry.origin + ptrdiff_t(row) * pitch + entry.rect.left), from, width * sizeof(uint16_t));
    }
    clear();
}

void RestoreQueue::clear()
{
    m_count = 0;
    m_pixels.clear();
}

GumpCanvas::GumpCanvas(
    const BlitTarget& target, RestoreQueue* queue, DirtyRectList* saved, int32_t screenWidth, int32_t screenHeight)
    : m_target(target)
    , m_queue(queue)
    , m_saved(saved)
    , m_screenWidth(screenWidth)
    , m_screenHeight(screenHeight)
{
}

void GumpCanvas::saveRect(const ScreenRect& rect)
{
    ScreenRect area = rect.intersected(clip());
    if (area.isEmpty() || !m_queue)
        return;
    // Only what no earlier gump of this piece saved: every save of a piece
    // happens before its first draw, so the pixels are the world's alike.
    // A full list of saved parts saves the rectangle whole.
    const int32_t before = m_saved ? m_saved->count() : 0;
    if (!m_saved || !m_saved->add(area)) {
        m_queue->save(m_target.pixels, m_target.origin, m_target.pitch, area);
        return;
    }
    std::span<const ScreenRect> parts = m_saved->entries().subspan(size_t(before));
    for (const ScreenRect& part : parts)
        m_queue->save(m_target.pixels, m_target.origin, m_target.pitch, part);
}

void gumpRedrawRect(const ScreenRect& requested, bool present)
{
    GumpManager& manager = gumpManager();
    BackBuffer* buffer = manager.backBuffer;
    if (!buffer || !buffer->exists()) {
        updateMenubar();
        if (present)
            presentAndRestore({});
        return;
    }
    const int32_t width = buffer->width();
    const int32_t height = buffer->height();
    const ScreenRect rect = requested.intersected({ 0, 0, width, height });
    beginComposition(width, height);
    const ScreenRect last = rect.isEmpty() ? rect : composeRect(rect);
    // A composition of the whole screen shows the desktop as it is (with
    // the tooltip, whose place is then redrawn once it has gone).
    if (rect == ScreenRect { 0, 0, width, height })
        manager.looks.remember(manager.tail);
    endComposition();
    if (present)
        presentAndRestore(last);
}

void gumpRedrawChanged(std::span<const ScreenRect> beneath)
{
    GumpManager& manager = gumpManager();
    BackBuffer* buffer = manager.backBuffer;
    if (!buffer || !buffer->exists()) {
        gumpRedrawRect({}, true);
        return;
    }
    const ScreenRect screen { 0, 0, buffer->width(), buffer->height() };
    beginComposition(screen.width(), screen.height());
    DirtyRectList& changed = manager.changedArea;
    changed.setArea(screen.width(), screen.height());
    changed.clear();
    bool fits = manager.looks.collectChanges(manager.tail, changed);
    for (const ScreenRect& rect : beneath)
        fits = changed.add(rect.intersected(screen)) && fits;
    if (!fits) {
        changed.clear();
        changed.add(screen);
    }
    for (const ScreenRect& rect : changed.entries())
        composeRect(rect);
    endComposition();
    // Only the changed rectangles differ from the frame shown before; a
    // later composition of the whole screen compares with every gump drawn
    // now.
    manager.changedRects.assign(changed.entries().begin(), changed.entries().end());
    manager.previousComposedRects.clear();
    GumpListCursor cursor(manager.tail, GumpListCursor::Direction::Up);
    while (CGump* gump = cursor.take()) {
        if (gump->isVisible())
            gump->forEachPaintedArea([&manager](const ScreenRect& area) { manager.previousComposedRects.push_back(area); });
    }
    manager.composedRects.clear();
    presentFrame(screen);
    restoreSavedPixels();
}

void gumpPresent(const ScreenRect& rect)
{
    GumpManager& manager = gumpManager();
    manager.changedRects = manager.previousComposedRects;
    manager.changedRects.insert(
        manager.changedRects.end(), manager.composedRects.begin(), manager.composedRects.end());
    manager.previousComposedRects.swap(manager.composedRects);
    manager.composedRects.clear();
    presentFrame(rect);
}

std::vector<ScreenRect> gumpChangedScreenRects() { return gumpManager().changedRects; }
