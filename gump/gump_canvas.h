#pragma once
// What a gump draws into during one composition: the back buffer addressed
// in screen (client) pixels, narrowed to the rectangle being composed, and
// the queue that keeps the pixels under the gumps. A composition piece never
// straddles the ring's wrap point, so `target().at(x, y)` is screen pixel
// (x, y) for every pixel inside clip(). Gumps draw with the blitters of gfx/
// into target(), clipped to clip(); they never keep the canvas beyond the
// call. Main thread only.

#include "gfx/blit_target.h"
#include "gfx/dirty_rect_list.h"
#include "gfx/screen_rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The rectangles saved from the back buffer until the composed frame was
// shown, with their pixels, put back newest first. Each save keeps its own
// copy, so saves that overlap (a rectangle composed again before the frame
// was shown saves what the first composition drew) still give back the
// world. At most kCapacity entries; a full queue saves no more. The entries
// and the pixel store keep their memory between frames, so a steady desktop
// allocates nothing while composing.
class RestoreQueue {
public:
    static constexpr int32_t kCapacity = 0x8000;

    struct Entry {
        ptrdiff_t origin = 0;
        ScreenRect rect;
        size_t firstPixel = 0;
    };

    RestoreQueue();
    // Copies the rows of `rect` of a buffer addressed target-like (pixel
    // (x, y) at pixels[origin + y * pitch + x]); false when the queue is full.
    bool save(const uint16_t* pixels, ptrdiff_t origin, int32_t pitch, const ScreenRect& rect);
    // Puts every saved rectangle back, newest first, and empties the queue.
    void restore(uint16_t* pixels, int32_t pitch);
    int32_t count() const { return m_count; }
    void clear();

private:
    std::vector<Entry> m_entries;
    std::vector<uint16_t> m_pixels;
    int32_t m_count = 0;
};

class GumpCanvas {
public:
    // `saved`, when given, holds what this composition piece has saved so
    // far (in screen pixels), so that gumps lying on top of each other save
    // the world beneath them once.
    GumpCanvas(const BlitTarget& target, RestoreQueue* queue, DirtyRectList* saved, int32_t screenWidth,
        int32_t screenHeight);

    // Draw here; its bounds are clip().
    const BlitTarget& target() const { return m_target; }
    const ScreenRect& clip() const { return m_target.bounds; }
    int32_t screenWidth() const { return m_screenWidth; }
    int32_t screenHeight() const { return m_screenHeight; }

    // Keeps the back buffer's pixels of `rect` (inside clip()) until the
    // frame was shown; a full queue keeps nothing.
    void saveRect(const ScreenRect& rect);

private:
    BlitTarget m_target;
    RestoreQueue* m_queue;
    DirtyRectList* m_saved;
    int32_t m_screenWidth;
    int32_t m_screenHeight;
};
