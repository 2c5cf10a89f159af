#pragma once
// The 16-bit back buffer that the world and the gumps are drawn into, kept as
// a ring: scrolling the view only moves the start index (`ringStart`) and
// exposes two thin strips, which are cleared and queued for redrawing. Game-area
// pixel (X, Y) lives at index (ringStart + Y * width + X) mod N of the array of
// N = width * height pixels; the pitch is the width, in pixels. The buffer also
// owns the dirty-rectangle list, whose entries never straddle the ring's wrap
// point (index N - ringStart), so that every entry can be drawn from one base
// with no modulo in the inner loops. Main thread only.

#include "gfx/blit_target.h"
#include "gfx/dirty_rect_list.h"
#include "gfx/screen_rect.h"

#include "platform/display.h"

#include <cstdint>
#include <span>
#include <vector>

enum class BufferFormat {
    Rgb555,
    Rgb565,
};

// Draws the world into one dirty rectangle of the world frame: the cell grid,
// then the light pass. Drawing must stay inside `rect`.
class WorldRectDrawer {
public:
    virtual ~WorldRectDrawer() = default;
    virtual void drawWorldRect(const BlitTarget& target, const ScreenRect& rect) = 0;
};

class BackBuffer {
public:
    BackBuffer();

    // (Re)creates the buffer for a game area of the given size; the buffer
    // grows to it and never shrinks. Ends with a whole-screen invalidation.
    void create(int32_t gameWidth, int32_t gameHeight, BufferFormat format);
    void release();
    bool exists() const { return !m_pixels.empty(); }
    // The size the next create() grows from instead of the current one, so
    // that the buffer may shrink: full screen makes it the mode's size.
    void resetSizeTo(int32_t width, int32_t height);

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t gameWidth() const { return m_gameWidth; }
    int32_t gameHeight() const { return m_gameHeight; }
    BufferFormat format() const { return m_format; }
    int64_t pixelCount() const { return static_cast<int64_t>(m_width) * m_height; }
    uint16_t* pixels() { return m_pixels.data(); }
    const uint16_t* pixels() const { return m_pixels.data(); }
    int64_t ringStart() const { return m_ringStart; }
    int32_t ringStartX() const { return m_width ? static_cast<int32_t>(m_ringStart % m_width) : 0; }
    int32_t ringStartY() const { return m_width ? static_cast<int32_t>(m_ringStart / m_width) : 0; }
    // The array index of game-area pixel (x, y).
    int64_t ringIndex(int32_t x, int32_t y) const;

    // The one entry through which anything asks for part of the game area to
    // be redrawn: clamped to the game area and split at the wrap point.
    void invalidateScreenRect(const ScreenRect* rect);
    void invalidateWholeScreen();
    // Queues the whole screen even while a full redraw is pending.
    void resetBackgroundAndRedraw();
    // Positive dx, dy move the content right and down.
    void scrollWorldView(int32_t dx, int32_t dy);
    void clearBackBufferRing();

    // While set, invalidations and whole-screen invalidations are dropped; the
    // fade ends with a whole-screen invalidation of its own.
    void setDeadScreenFadeActive(bool active) { m_deadScreenFade = active; }
    bool isFullRedrawPending() const { return m_fullRedrawPending; }
    void setDirtyListLimitRaised(bool raised) { m_dirty.setLimitRaised(raised); }
    std::span<const ScreenRect> dirtyRects() const { return m_dirty.entries(); }
    // The rectangles of the last world frame, for the gump layer and presenting.
    std::span<const ScreenRect> presentRects() const { return m_presentRects; }

    // The world frame: draws every dirty rectangle through `drawer` (which
    // may be null while there is no world), then hands the list over to
    // presentRects() and empties it.
    void renderWorldDirtyRects(WorldRectDrawer* drawer);

    // A target for drawing into `rect`, which must lie inside the game area
    // and not straddle the wrap point (every dirty entry qualifies).
    BlitTarget targetForRect(const ScreenRect& rect);

    // The picture is what the screen shows: width() x height() pixels read
    // from the ring in reading order with wrap-around, the game area at
    // (viewOffsetX, viewOffsetY) of it. This is the ring index of its
    // top-left pixel.
    int64_t pictureStart(int32_t viewOffsetX, int32_t viewOffsetY) const;
    // Writes the picture's rectangles (picture pixels, clamped to the
    // surface) onto the surface, in the surface's format.
    void writePictureRects(
        int64_t pictureStart, std::span<const ScreenRect> rects, const platform::FrameSurface& surface) const;

    // What changed in the picture since the presenter last asked: the world
    // frames' rectangles, what drawing outside them reports, and the whole
    // picture after anything that rewrote all of it (a new buffer, a
    // whole-screen invalidation). Rectangles are kept until taken; too many
    // of them become the whole picture.
    void markPictureChanged(const ScreenRect& rect); // in picture pixels
    void markGameAreaChanged(const ScreenRect& rect); // in game-area pixels
    // Hands the changes over and forgets them: true when the whole picture
    // changed, else the rectangles in picture pixels (game-area ones moved by
    // the view offset) replace `rects`.
    bool takePictureChanges(int32_t viewOffsetX, int32_t viewOffsetY, std::vector<ScreenRect>& rects);
    // The same answer, and the rectangles appended, without forgetting them.
    bool peekPictureChanges(int32_t viewOffsetX, int32_t viewOffsetY, std::vector<ScreenRect>& rects) const;

    // The gump layer's copy of the world; sized here, grown and never shrunk.
    std::vector<uint16_t>& worldCopyBuffer() { return m_worldCopy; }

private:
    void addDirtyRect(const ScreenRect& rect);
    void addPictureChange(std::vector<ScreenRect>& list, const ScreenRect& rect);
    void clearGameRect(const ScreenRect& rect);

    std::vector<uint16_t> m_pixels;
    std::vector<uint16_t> m_worldCopy;
    int32_t m_width = 0;
    int32_t m_height = 0;
    // Set by resetSizeTo(), taken by the next create().
    int32_t m_nextWidth = -1;
    int32_t m_nextHeight = -1;
    int32_t m_gameWidth = 0;
    int32_t m_gameHeight = 0;
    BufferFormat m_format = BufferFormat::Rgb555;
    int64_t m_ringStart = 0;
    DirtyRectList m_dirty;
    std::vector<ScreenRect> m_presentRects;
    std::vector<ScreenRect> m_changedPicture;
    std::vector<ScreenRect> m_changedGameArea;
    bool m_wholePictureChanged = true;
    bool m_fullRedrawPending = false;
    bool m_deadScreenFade = false;
};
