#pragma once
// What a gump draws into during one composition: the back buffer addressed
// in screen (client) pixels, narrowed to the rectangle being composed, and
// the save buffer beside it. A composition piece never straddles the ring's
// wrap point, so `target().at(x, y)` is screen pixel (x, y) for every pixel
// inside clip(). Gumps draw with the blitters of gfx/ into target(), clipped
// to clip(); they never keep the canvas beyond the call. Main thread only.

#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The rectangles saved from the back buffer during one composition, put back
// (newest first) once the composed frame was shown. A fixed array: no
// allocation while composing; a full queue simply saves no more.
class RestoreQueue {
public:
    static constexpr int32_t kCapacity = 0x8000;

    struct Entry {
        ptrdiff_t origin = 0;
        ScreenRect rect;
    };

    RestoreQueue();
    bool push(ptrdiff_t origin, const ScreenRect& rect);
    int32_t count() const { return m_count; }
    const Entry& entry(int32_t index) const { return m_entries[size_t(index)]; }
    void clear() { m_count = 0; }

private:
    std::vector<Entry> m_entries;
    int32_t m_count = 0;
};

class GumpCanvas {
public:
    GumpCanvas(const BlitTarget& target, uint16_t* saveBuffer, RestoreQueue* queue, int32_t screenWidth,
        int32_t screenHeight);

    // Draw here; its bounds are clip().
    const BlitTarget& target() const { return m_target; }
    const ScreenRect& clip() const { return m_target.bounds; }
    int32_t screenWidth() const { return m_screenWidth; }
    int32_t screenHeight() const { return m_screenHeight; }

    // Copies the back buffer's pixels of `rect` (inside clip()) into the save
    // buffer and queues their restore; a full queue keeps nothing.
    void saveRect(const ScreenRect& rect);

private:
    BlitTarget m_target;
    uint16_t* m_saveBuffer;
    RestoreQueue* m_queue;
    int32_t m_screenWidth;
    int32_t m_screenHeight;
};
