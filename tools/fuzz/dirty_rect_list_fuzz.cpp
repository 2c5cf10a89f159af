// Drives the back buffer's dirty-rectangle list with arbitrary invalidations,
// scrolls, re-creations and world frames, and checks after every step that the
// entries are disjoint, inside the game area and never straddle the wrap
// point, and that together they cover exactly what was asked for; the world
// frame's drawer checks that every pixel it is given lies inside the array.
#include "fuzz_byte_reader.h"
#include "gfx/back_buffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Mostly values around a small game area; now and then any 32-bit value.
int32_t valueFrom(FuzzByteReader& in)
{
    uint8_t b = in.u8();
    if (!(b & 0x80))
        return int32_t(b) - 40;
    return int32_t(in.u32());
}

class CheckingDrawer : public WorldRectDrawer {
public:
    explicit CheckingDrawer(const BackBuffer& buffer)
        : m_buffer(buffer)
    {
    }
    void drawWorldRect(const BlitTarget& target, const ScreenRect& rect) override
    {
        const int64_t n = m_buffer.pixelCount();
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            for (int32_t x = rect.left; x < rect.right; ++x) {
                int64_t index = target.origin + int64_t(y) * target.pitch + x;
                if (index < 0 || index >= n || index != m_buffer.ringIndex(x, y))
                    abort();
            }
    }

private:
    const BackBuffer& m_buffer;
};

class Checker {
public:
    explicit Checker(const BackBuffer& buffer)
        : m_buffer(buffer)
    {
    }
    void reset(bool covered) { m_model.assign(size_t(m_buffer.gameWidth()) * m_buffer.gameHeight(), covered); }
    void mark(const ScreenRect& r)
    {
        const int32_t w = m_buffer.gameWidth(), h = m_buffer.gameHeight();
        for (int32_t y = std::max(r.top, 0); y < std::min(r.bottom, h); ++y)
            for (int32_t x = std::max(r.left, 0); x < std::min(r.right, w); ++x)
                m_model[size_t(y) * w + x] = true;
    }
    void scroll(int32_t dx, int32_t dy, bool exposedQueued)
    {
        const int32_t w = m_buffer.gameWidth(), h = m_buffer.gameHeight();
        std::vector<bool> moved(m_model.size(), false);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                int64_t fromX = int64_t(x) - dx, fromY = int64_t(y) - dy;
                bool exposed = fromX < 0 || fromX >= w || fromY < 0 || fromY >= h;
                moved[size_t(y) * w + x] = exposed ? exposedQueued : bool(m_model[size_t(fromY) * w + size_t(fromX)]);
            }
        m_model = moved;
    }
    void check()
    {
        if (m_buffer.isFullRedrawPending())
            reset(true);
        const int32_t w = m_buffer.gameWidth(), h = m_buffer.gameHeight();
        const int64_t wrap = m_buffer.pixelCount() - m_buffer.ringStart();
        std::vector<bool> covered(m_model.size(), false);
        for (const ScreenRect& e : m_buffer.dirtyRects()) {
            if (e.isEmpty() || e.left < 0 || e.top < 0 || e.right > w || e.bottom > h)
                abort();
            int64_t first = int64_t(e.top) * m_buffer.width() + e.left;
            int64_t last = int64_t(e.bottom - 1) * m_buffer.width() + e.right - 1;
            if ((first < wrap) != (last < wrap))
                abort();
            for (int32_t y = e.top; y < e.bottom; ++y)
                for (int32_t x = e.left; x < e.right; ++x) {
                    if (covered[size_t(y) * w + x])
                        abort();
                    covered[size_t(y) * w + x] = true;
                }
        }
        if (covered != m_model)
            abort();
    }

private:
    const BackBuffer& m_buffer;
    std::vector<bool> m_model;
};

int32_t sizeFrom(uint8_t byte)
{
    return 1 + byte % 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzByteReader in(data, size);
    BackBuffer buffer;
    Checker checker(buffer);
    bool fade = false;
    bool raised = false;
    buffer.create(sizeFrom(in.u8()), sizeFrom(in.u8()), BufferFormat::Rgb555);
    checker.reset(true);
    for (int step = 0; step < 400 && !in.empty(); ++step) {
        switch (in.u8() % 10) {
        case 0:
        case 1:
        case 2: {
            ScreenRect r;
            r.left = valueFrom(in);
            r.top = valueFrom(in);
            r.right = valueFrom(in);
            r.bottom = valueFrom(in);
            buffer.invalidateScreenRect(&r);
            if (!fade)
                checker.mark(r);
            break;
        }
        case 3:
        case 4: {
            int32_t dx = valueFrom(in), dy = valueFrom(in);
            bool pending = buffer.isFullRedrawPending();
            bool whole = dx <= -buffer.gameWidth() || dx >= buffer.gameWidth() || dy <= -buffer.gameHeight()
                || dy >= buffer.gameHeight();
            buffer.scrollWorldView(dx, dy);
            if (!pending && !whole)
                checker.scroll(dx, dy, !fade);
            break;
        }
        case 5: {
            CheckingDrawer drawer(buffer);
            buffer.renderWorldDirtyRects(&drawer);
            checker.reset(false);
            break;
        }
        case 6:
            buffer.invalidateWholeScreen();
            break;
        case 7:
            buffer.resetBackgroundAndRedraw();
            break;
        case 8: {
            uint8_t what = in.u8();
            if (what & 1) {
                fade = !fade;
                buffer.setDeadScreenFadeActive(fade);
            } else {
                raised = !raised;
                buffer.setDirtyListLimitRaised(raised);
            }
            break;
        }
        default:
            // Now and then as full screen does it: the buffer may shrink.
            if (in.u8() & 1)
                buffer.resetSizeTo(sizeFrom(in.u8()), sizeFrom(in.u8()));
            buffer.create(sizeFrom(in.u8()), sizeFrom(in.u8()), BufferFormat::Rgb555);
            checker.reset(!fade);
            break;
        }
        checker.check();
    }
    return 0;
}
