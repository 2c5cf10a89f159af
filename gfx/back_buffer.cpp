#include "gfx/back_buffer.h"

#include "gfx/surface_pixels.h"

#include <algorithm>
#include <cstring>

BackBuffer::BackBuffer()
{
    m_presentRects.reserve(DirtyRectList::kRaisedLimit);
}

void BackBuffer::create(int32_t gameWidth, int32_t gameHeight, BufferFormat format)
{
    if (gameWidth <= 0 || gameHeight <= 0)
        return;
    m_gameWidth = gameWidth;
    m_gameHeight = gameHeight;
    if (m_nextWidth >= 0) {
        m_width = m_nextWidth;
        m_height = m_nextHeight;
        m_nextWidth = m_nextHeight = -1;
    }
    m_width = std::max(m_width, gameWidth);
    m_height = std::max(m_height, gameHeight);
    m_format = format;
    m_pixels.assign(static_cast<size_t>(pixelCount()), 0);
    if (m_worldCopy.size() < m_pixels.size())
        m_worldCopy.assign(m_pixels.size(), 0);
    m_dirty.setArea(gameWidth, gameHeight);
    // The old entries and ring start describe the old buffer; they must go
    // even when the whole-screen invalidation below is held back (during the
    // dead-screen fade, which ends with one of its own).
    m_dirty.clear();
    m_ringStart = 0;
    m_fullRedrawPending = false;
    m_wholePictureChanged = true;
    invalidateWholeScreen();
}

void BackBuffer::resetSizeTo(int32_t width, int32_t height)
{
    m_nextWidth = std::max(width, 0);
    m_nextHeight = std::max(height, 0);
}

void BackBuffer::release()
{
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_dirty.clear();
    m_ringStart = 0;
    m_wholePictureChanged = true;
}

int64_t BackBuffer::ringIndex(int32_t x, int32_t y) const
{
    int64_t n = pixelCount();
    int64_t index = (m_ringStart + static_cast<int64_t>(y) * m_width + x) % n;
    return index < 0 ? index + n : index;
}

void BackBuffer::invalidateScreenRect(const ScreenRect* rect)
{
    if (!rect || !exists() || m_fullRedrawPending || m_deadScreenFade)
        return;
    ScreenRect r = rect->intersected({ 0, 0, m_gameWidth, m_gameHeight });
    if (r.isEmpty())
        return;

    int64_t first = static_cast<int64_t>(r.top) * m_width + r.left;
    int64_t last = static_cast<int64_t>(r.bottom - 1) * m_width + r.right - 1;
    int64_t wrap = pixelCount() - m_ringStart;
    if ((first < wrap) == (last < wrap)) {
        addDirtyRect(r);
        return;
    }

    // The rectangle runs over the wrap point, which sits at row R, column K:
    // cut it into the pieces before and after it.
    int32_t row = static_cast<int32_t>(wrap / m_width);
    int32_t column = static_cast<int32_t>(wrap % m_width);
    if (column > r.left && column < r.right) {
        addDirtyRect({ r.left, r.top, column, row + 1 });
        addDirtyRect({ column, r.top, r.right, row });
        addDirtyRect({ column, row, r.right, r.bottom });
        addDirtyRect({ r.left, row + 1, column, r.bottom });
    } else if (column <= r.left) {
        addDirtyRect({ r.left, r.top, r.right, row });
        addDirtyRect({ r.left, row, r.right, r.bottom });
    } else {
        addDirtyRect({ r.left, r.top, r.right, row + 1 });
        addDirtyRect({ r.left, row + 1, r.right, r.bottom });
    }
}

void BackBuffer::addDirtyRect(const ScreenRect& rect)
{
    if (m_fullRedrawPending)
        return;
    if (!m_dirty.add(rect))
        invalidateWholeScreen();
}

void BackBuffer::invalidateWholeScreen()
{
    if (m_fullRedrawPending || m_deadScreenFade || !exists())
        return;
    m_ringStart = 0;
    m_dirty.clear();
    m_dirty.add({ 0, 0, m_gameWidth, m_gameHeight });
    m_fullRedrawPending = true;
    std::fill(m_pixels.begin(), m_pixels.end(), 0);
    m_wholePictureChanged = true;
}

void BackBuffer::resetBackgroundAndRedraw()
{
    m_fullRedrawPending = false;
    invalidateWholeScreen();
}

void BackBuffer::clearGameRect(const ScreenRect& rect)
{
    ScreenRect r = rect.intersected({ 0, 0, m_gameWidth, m_gameHeight });
    if (r.isEmpty())
        return;
    int64_t n = pixelCount();
    for (int32_t y = r.top; y < r.bottom; ++y) {
        int64_t start = ringIndex(r.left, y);
        int64_t count = r.width();
        // A row of the game area may continue at the array's start.
        int64_t first = std::min(count, n - start);
        std::fill_n(m_pixels.data() + start, first, 0);
        std::fill_n(m_pixels.data(), count - first, 0);
    }
}

void BackBuffer::clearBackBufferRing()
{
    if (!exists())
        return;
    clearGameRect({ 0, 0, m_gameWidth, m_gameHeight });
    markGameAreaChanged({ 0, 0, m_gameWidth, m_gameHeight });
}

void BackBuffer::scrollWorldView(int32_t dx, int32_t dy)
{
    if (m_fullRedrawPending || !exists() || (dx == 0 && dy == 0))
        return;
    const int32_t w = m_gameWidth;
    const int32_t h = m_gameHeight;
    // A jump of a whole screen or more leaves nothing to keep; the strips
    // below would not even lie inside the game area.
    if (dx <= -w || dx >= w || dy <= -h || dy >= h) {
        invalidateWholeScreen();
        return;
    }

    // Clear what leaves the game area: it comes back in at the other side.
    if (dx > 0)
        clearGameRect({ w - dx, 0, w, h });
    else if (dx < 0)
        clearGameRect({ 0, 0, -dx, h });
    if (dy > 0)
        clearGameRect({ 0, h - dy, w, h });
    else if (dy < 0)
        clearGameRect({ 0, 0, w, -dy });

    int64_t n = pixelCount();
    m_ringStart -= dx + static_cast<int64_t>(dy) * m_width;
    if (m_ringStart > n)
        m_ringStart -= n;
    else if (m_ringStart < 0)
        m_ringStart += n;

    // Entries keep their array positions, so none comes to straddle the wrap.
    m_dirty.moveAndClamp(dx, dy);

    ScreenRect strips[2];
    int stripCount = 0;
    if (dx < 0) {
        strips[stripCount++] = { w + dx, 0, w, h };
        if (dy < 0)
            strips[stripCount++] = { 0, h + dy, w + dx, h };
        else if (dy > 0)
            strips[stripCount++] = { 0, 0, w + dx, dy };
    } else if (dx > 0) {
        strips[stripCount++] = { 0, 0, dx, h };
        if (dy < 0)
            strips[stripCount++] = { dx, h + dy, w, h };
        else if (dy > 0)
            strips[stripCount++] = { dx, 0, w, dy };
    } else if (dy < 0) {
        strips[stripCount++] = { 0, h + dy, w, h };
    } else {
        strips[stripCount++] = { 0, 0, w, dy };
    }
    for (int i = 0; i < stripCount; ++i)
        invalidateScreenRect(&strips[i]);
}

BlitTarget BackBuffer::targetForRect(const ScreenRect& rect)
{
    int64_t n = pixelCount();
    int64_t first = static_cast<int64_t>(rect.top) * m_width + rect.left;
    // Entries past the wrap point are stored from the array's start: their
    // base lies N pixels before ringStart, possibly before the array, which is
    // why it is kept as an index and not as a pointer.
    ptrdiff_t origin = static_cast<ptrdiff_t>(first >= n - m_ringStart ? m_ringStart - n : m_ringStart);
    return { m_pixels.data(), origin, m_width, rect };
}

void BackBuffer::renderWorldDirtyRects(WorldRectDrawer* drawer)
{
    const ScreenRect area { 0, 0, m_gameWidth, m_gameHeight };
    if (drawer && exists()) {
        for (const ScreenRect& entry : m_dirty.entries()) {
            ScreenRect rect = entry.intersected(area);
            if (rect.isEmpty())
                continue;
            drawer->drawWorldRect(targetForRect(rect), rect);
        }
    }
    std::span<const ScreenRect> entries = m_dirty.entries();
    m_presentRects.assign(entries.begin(), entries.end());
    for (const ScreenRect& entry : entries)
        markGameAreaChanged(entry.intersected(area));
    m_fullRedrawPending = false;
    m_dirty.clear();
}

int64_t BackBuffer::pictureStart(int32_t viewOffsetX, int32_t viewOffsetY) const
{
    return exists() ? ringIndex(-viewOffsetX, -viewOffsetY) : 0;
}

void BackBuffer::writePictureRects(
    int64_t pictureStart, std::span<const ScreenRect> rects, const platform::FrameSurface& surface) const
{
    if (!exists() || !surface.pixels)
        return;
    const int64_t n = pixelCount();
    const int64_t start = ((pictureStart % n) + n) % n;
    const int32_t bytes = platform::bytesPerPixel(surface.format);
    const ScreenRect limit { 0, 0, std::min(surface.width, m_width), std::min(surface.height, m_height) };
    for (const ScreenRect& rect : rects) {
        ScreenRect r = rect.intersected(limit);
        if (r.isEmpty())
            continue;
        const int32_t count = r.width();
        // Picture pixel (x, y) is ring index (start + y * width + x) mod N; a
        // row of the rectangle may run over the array's end once.
        int64_t index = (start + static_cast<int64_t>(r.top) * m_width + r.left) % n;
        for (int32_t y = r.top; y < r.bottom; ++y) {
            uint8_t* out = surface.pixels + static_cast<ptrdiff_t>(y) * surface.pitch + static_cast<ptrdiff_t>(r.left) * bytes;
            int32_t first = static_cast<int32_t>(std::min<int64_t>(count, n - index));
            writeSurfacePixels(m_pixels.data() + index, first, m_format, out, surface.format);
            if (first < count)
                writeSurfacePixels(m_pixels.data(), count - first, m_format, out + first * bytes, surface.format);
            index += m_width;
            if (index >= n)
                index -= n;
        }
    }
}

namespace {

// More rectangles than this are sent as the whole picture.
constexpr size_t kMaxPictureChanges = 256;

} // namespace

void BackBuffer::markPictureChanged(const ScreenRect& rect) { addPictureChange(m_changedPicture, rect); }

void BackBuffer::markGameAreaChanged(const ScreenRect& rect) { addPictureChange(m_changedGameArea, rect); }

void BackBuffer::addPictureChange(std::vector<ScreenRect>& list, const ScreenRect& rect)
{
    if (m_wholePictureChanged || rect.isEmpty())
        return;
    if (m_changedPicture.size() + m_changedGameArea.size() >= kMaxPictureChanges) {
        m_wholePictureChanged = true;
        return;
    }
    list.push_back(rect);
}

bool BackBuffer::peekPictureChanges(int32_t viewOffsetX, int32_t viewOffsetY, std::vector<ScreenRect>& rects) const
{
    if (m_wholePictureChanged)
        return true;
    rects.insert(rects.end(), m_changedPicture.begin(), m_changedPicture.end());
    for (const ScreenRect& r : m_changedGameArea)
        rects.push_back({ r.left + viewOffsetX, r.top + viewOffsetY, r.right + viewOffsetX, r.bottom + viewOffsetY });
    return false;
}

bool BackBuffer::takePictureChanges(int32_t viewOffsetX, int32_t viewOffsetY, std::vector<ScreenRect>& rects)
{
    rects.clear();
    bool whole = peekPictureChanges(viewOffsetX, viewOffsetY, rects);
    m_changedPicture.clear();
    m_changedGameArea.clear();
    m_wholePictureChanged = false;
    return whole;
}
