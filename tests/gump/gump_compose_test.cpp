// Composition of the gump layer into the ring back buffer, against a
// from-scratch painter's-order redraw of a plain screen picture.
#include "gump_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

// Counts, per screen pixel, how often a draw reached it.
class CountingGump final : public PageGump {
public:
    CountingGump(int32_t width, int32_t height, std::vector<int32_t>& counts)
        : PageGump(0, 0, width, height, 0x0001)
        , m_counts(counts)
        , m_stride(width)
    {
        colourKeyed = false;
    }
    void draw(GumpCanvas& canvas) override
    {
        const ScreenRect& clip = canvas.clip();
        for (int32_t y = clip.top; y < clip.bottom; ++y)
            for (int32_t x = clip.left; x < clip.right; ++x)
                ++m_counts[size_t(y) * size_t(m_stride) + size_t(x)];
        PageGump::draw(canvas);
    }

private:
    std::vector<int32_t>& m_counts;
    int32_t m_stride;
};

// Paints `gump` and its children onto a plain picture of the screen, bottom
// child last-drawn first, the way the composition must end up.
void paintReference(CGump* gump, std::vector<uint16_t>& picture, int32_t width, int32_t height, const ScreenRect& area)
{
    if (!gump->isVisible())
        return;
    ScreenRect rect = gump->screenRect();
    GumpPage* shown = gump->page(gump->currentPage());
    if (shown && shown->isAllocated()) {
        for (int32_t y = std::max(rect.top, area.top); y < std::min(rect.bottom, area.bottom); ++y) {
            for (int32_t x = std::max(rect.left, area.left); x < std::min(rect.right, area.right); ++x) {
                if (x - rect.left >= shown->width || y - rect.top >= shown->height)
                    continue;
                uint16_t pixel = shown->pixel(x - rect.left, y - rect.top);
                if (pixel != 0 || !gump->isColourKeyed())
                    picture[size_t(y) * size_t(width) + size_t(x)] = pixel;
            }
        }
    }
    std::vector<CGump*> children;
    for (CGump* child = gump->firstChild(); child; child = child->next())
        children.push_back(child);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        paintReference(*child, picture, width, height, area);
    (void)height;
}

class CompositionProperty : public Desktop, public testing::WithParamInterface<uint32_t> {
protected:
    CompositionProperty()
        : Desktop(800, 600)
    {
    }

    std::vector<uint16_t> worldScreen() const { return unrollScreen(m_world.data()); }

    // The screen after composing each of `rects` in turn.
    std::vector<uint16_t> reference(const std::vector<ScreenRect>& rects) const
    {
        std::vector<uint16_t> picture = worldScreen();
        std::vector<CGump*> desk;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            desk.push_back(gump);
        for (const ScreenRect& rect : rects) {
            ScreenRect area = rect.intersected({ 0, 0, buffer.width(), buffer.height() });
            for (auto gump = desk.rbegin(); gump != desk.rend(); ++gump) {
                ScreenRect bounds = (*gump)->composedBounds().intersected(area);
                paintReference(*gump, picture, buffer.width(), buffer.height(), bounds);
            }
        }
        return picture;
    }

    PageGump* randomGump(std::mt19937& random)
    {
        auto pick = [&random](int32_t low, int32_t high) {
            return std::uniform_int_distribution<int32_t>(low, high)(random);
        };
        auto* gump = new PageGump(pick(-80, 820), pick(-80, 620), pick(1, 160), pick(1, 130),
            uint16_t(pick(1, 0x7FFF)), pick(0, 4));
        gump->colourKeyed = pick(0, 3) != 0;
        // Scattered transparent pixels inside.
        GumpPage& face = *gump->page(0);
        for (uint16_t& pixel : face.pixels)
            if (pick(0, 9) == 0)
                pixel = 0;
        return gump;
    }
};

TEST_P(CompositionProperty, ComposedRingEqualsAPaintersOrderRedrawAndTheWorldComesBack)
{
    std::mt19937 random(GetParam());
    auto pick = [&random](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    };
    std::vector<GumpHandle> gumps;
    for (int step = 0; step < 60; ++step) {
        switch (pick(0, 7)) {
        case 0:
        case 1: {
            PageGump* gump = randomGump(random);
            CGump* parent = nullptr;
            if (!gumps.empty() && pick(0, 2) == 0)
                parent = gumps[size_t(pick(0, int32_t(gumps.size()) - 1))].get();
            if (parent) {
                // A child inside its parent.
                gump->setLocation(pick(0, std::max(parent->width() - 1, 0)), pick(0, std::max(parent->height() - 1, 0)));
                gump->setSize(std::min(gump->width(), parent->width() - gump->x()),
                    std::min(gump->height(), parent->height() - gump->y()));
            }
            gumpLink(gump, parent);
            gumps.emplace_back(gump);
            break;
        }
        case 2:
            if (!gumps.empty())
                if (CGump* gump = gumps[size_t(pick(0, int32_t(gumps.size()) - 1))].get(); gump && !gump->parent())
                    gump->moveBy(pick(-200, 200), pick(-200, 200), true, nullptr, pick(0, 1) == 0);
            break;
        case 3:
            if (!gumps.empty())
                if (CGump* gump = gumps[size_t(pick(0, int32_t(gumps.size()) - 1))].get())
                    gump->bringToFront(false);
            break;
        case 4:
            if (!gumps.empty())
                closeGump(gumps[size_t(pick(0, int32_t(gumps.size()) - 1))].get());
            break;
        case 5:
            if (!gumps.empty())
                if (CGump* gump = gumps[size_t(pick(0, int32_t(gumps.size()) - 1))].get())
                    gump->setVisible(!gump->isVisible());
            break;
        case 6: {
            // The view scrolls: the ring start moves; the world is drawn anew.
            buffer.scrollWorldView(pick(-300, 300), pick(-300, 300));
            buffer.renderWorldDirtyRects(nullptr);
            fillWorld();
            break;
        }
        case 7: {
            GumpScreen screen = gumpScreen();
            screen.gameViewX = pick(0, screen.width - screen.gameWidth);
            screen.gameViewY = pick(0, screen.height - screen.gameHeight);
            gumpSetScreen(screen);
            break;
        }
        }
        // One rectangle, or two composed before the frame is shown: the
        // second then saves pixels the first one drew.
        std::vector<ScreenRect> rects;
        for (int count = pick(1, 2); count > 0; --count) {
            const int32_t left = pick(-50, 799);
            const int32_t top = pick(-50, 599);
            rects.push_back({ left, top, left + pick(0, 900), top + pick(0, 700) });
            gumpRedrawRect(rects.back(), false);
        }
        ASSERT_EQ(screenPicture(), reference(rects)) << "step " << step;
        gumpRedrawRect({}, true);
        ASSERT_EQ(screenPicture(), worldScreen()) << "after the present, step " << step;
        ASSERT_EQ(std::vector<uint16_t>(buffer.pixels(), buffer.pixels() + buffer.pixelCount()), m_world);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, CompositionProperty, testing::Values(1u, 2u, 3u, 20260417u),
    [](const testing::TestParamInfo<uint32_t>& param) { return "Seed" + std::to_string(param.param); });

using Composition = Desktop;

TEST_F(Composition, PiecesAroundTheRingsEndTileTheRectangleExactlyAndPresentOnce)
{
    std::vector<int32_t> counts(size_t(640 * 480));
    auto* counter = new CountingGump(640, 480, counts);
    gumpLink(counter, nullptr);
    // Every kind of split: the wrap point left of, right of and inside the
    // rectangle's columns.
    for (auto [dx, dy] : { std::pair { -100, -50 }, std::pair { -639, -3 }, std::pair { -1, -479 }, std::pair { 0, -1 },
             std::pair { -320, 0 } }) {
        buffer.scrollWorldView(dx, dy);
        buffer.renderWorldDirtyRects(nullptr);
        for (const ScreenRect& rect :
            { ScreenRect { 0, 0, 640, 480 }, ScreenRect { 100, 100, 400, 300 }, ScreenRect { 300, 0, 340, 480 } }) {
            std::fill(counts.begin(), counts.end(), 0);
            presenter.presented.clear();
            gumpRedrawRect(rect, true);
            for (int32_t y = 0; y < 480; ++y) {
                for (int32_t x = 0; x < 640; ++x) {
                    ASSERT_EQ(counts[size_t(y) * 640 + size_t(x)], rect.contains(x, y) ? 1 : 0)
                        << x << "," << y << " ring start " << buffer.ringStart();
                }
            }
            ASSERT_EQ(presenter.presented.size(), 1u);
        }
    }
}

TEST_F(Composition, TheChangedRectanglesCoverGumpsThatMovedOrWent)
{
    PageGump* gump = new PageGump(10, 20, 30, 40, 0x0123);
    gumpLink(gump, nullptr);
    composeAll(true);
    gump->moveTo(200, 100, true, nullptr, false);
    composeAll(true);
    std::vector<ScreenRect> changed = gumpChangedScreenRects();
    EXPECT_NE(std::find(changed.begin(), changed.end(), ScreenRect { 10, 20, 40, 60 }), changed.end());
    EXPECT_NE(std::find(changed.begin(), changed.end(), ScreenRect { 200, 100, 230, 140 }), changed.end());
    closeGump(gump);
    composeAll(true);
    changed = gumpChangedScreenRects();
    EXPECT_NE(std::find(changed.begin(), changed.end(), ScreenRect { 200, 100, 230, 140 }), changed.end());
}

// A page gump whose look the framework compares instead of redrawing it (the
// test says when it draws into its page).
class KeptPageGump final : public PageGump {
public:
    using PageGump::PageGump;
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }
    int32_t draws = 0;
    void draw(GumpCanvas& canvas) override
    {
        ++draws;
        PageGump::draw(canvas);
    }
};

// The screen as a display keeps it: each present sends only the changed
// rectangles of the composed frame.
class ChangedComposition : public Desktop {
protected:
    ChangedComposition()
        : Desktop(800, 600)
    {
        presenter.onPresent = [this] {
            const std::vector<uint16_t> frame = screenPicture();
            for (const ScreenRect& rect : gumpChangedScreenRects()) {
                for (int32_t y = rect.top; y < rect.bottom; ++y)
                    for (int32_t x = rect.left; x < rect.right; ++x)
                        m_shown[size_t(y) * 800 + size_t(x)] = frame[size_t(y) * 800 + size_t(x)];
            }
        };
        m_shown = screenPicture();
    }

    // The desktop painted from scratch over the world.
    std::vector<uint16_t> painted() const
    {
        std::vector<uint16_t> picture = unrollScreen(m_world.data());
        std::vector<CGump*> desk;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            desk.push_back(gump);
        for (auto gump = desk.rbegin(); gump != desk.rend(); ++gump)
            paintReference(*gump, picture, 800, 600, (*gump)->composedBounds());
        return picture;
    }

    void changeWorld(const ScreenRect& rect, std::mt19937& random)
    {
        for (int32_t y = rect.top; y < rect.bottom; ++y) {
            for (int32_t x = rect.left; x < rect.right; ++x) {
                const size_t index = size_t(buffer.ringIndex(x, y));
                buffer.pixels()[index] = m_world[index] = uint16_t(random() & 0x7FFF);
            }
        }
    }

    std::vector<uint16_t> m_shown;
};

TEST_F(ChangedComposition, ShowsWhatAWholeCompositionShows)
{
    std::mt19937 random(77);
    auto pick = [&random](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    std::vector<PageGump*> gumps;
    auto open = [&] {
        const int32_t x = pick(-60, 760);
        const int32_t y = pick(-60, 560);
        const int32_t width = pick(1, 150);
        const int32_t height = pick(1, 120);
        const uint16_t colour = uint16_t(pick(1, 0x7FFF));
        PageGump* gump = pick(0, 3) != 0 ? new KeptPageGump(x, y, width, height, colour, pick(0, 3))
                                         : new PageGump(x, y, width, height, colour, pick(0, 3));
        gump->colourKeyed = pick(0, 1) != 0;
        gumpLink(gump, nullptr);
        gumps.push_back(gump);
    };
    for (int i = 0; i < 12; ++i)
        open();
    // The first composition of the changes composes everything.
    gumpRedrawChanged({});
    ASSERT_EQ(m_shown, painted());
    for (int step = 0; step < 300; ++step) {
        std::vector<ScreenRect> beneath;
        PageGump* gump = gumps.empty() ? nullptr : gumps[size_t(pick(0, int32_t(gumps.size()) - 1))];
        switch (gump ? pick(0, 6) : 0) {
        case 0:
            open();
            break;
        case 1:
            gump->moveBy(pick(-40, 40), pick(-40, 40), true, nullptr, false);
            break;
        case 2: {
            GumpPage& face = *gump->page(0);
            face.pixels[size_t(pick(0, int32_t(face.pixels.size()) - 1))] = uint16_t(pick(0, 0x7FFF));
            gump->markLookChanged();
            break;
        }
        case 3:
            gump->bringToFront(false);
            break;
        case 4:
            gump->setVisible(!gump->isVisible());
            break;
        case 5:
            std::erase(gumps, gump);
            closeGump(gump);
            break;
        default: {
            // The world changes under the desktop.
            const int32_t x = pick(0, 760);
            const int32_t y = pick(0, 560);
            const ScreenRect rect { x, y, x + pick(1, 40), y + pick(1, 40) };
            changeWorld(rect, random);
            beneath.push_back(rect);
            break;
        }
        }
        gumpRedrawChanged(beneath);
        ASSERT_EQ(m_shown, painted()) << "step " << step;
        ASSERT_EQ(std::vector<uint16_t>(buffer.pixels(), buffer.pixels() + buffer.pixelCount()), m_world)
            << "the world comes back";
    }
}

TEST_F(ChangedComposition, AnUnchangedDesktopIsNotComposedAgain)
{
    auto* kept = new KeptPageGump(10, 20, 100, 80, 0x0123);
    gumpLink(kept, nullptr);
    composeAll(true);
    const int32_t draws = kept->draws;
    gumpRedrawChanged({});
    EXPECT_EQ(kept->draws, draws);
    EXPECT_TRUE(gumpChangedScreenRects().empty());
    // Under the pointer's box only that box is composed again.
    gumpRedrawChanged(std::vector<ScreenRect> { { 30, 30, 40, 46 } });
    EXPECT_EQ(kept->draws, draws + 1);
    EXPECT_EQ(gumpChangedScreenRects(), (std::vector<ScreenRect> { { 30, 30, 40, 46 } }));
}

TEST_F(Composition, NothingIsShownWhileThereIsNoBackBufferToShow)
{
    gumpAttachBackBuffer(nullptr);
    composeAll(true);
    EXPECT_TRUE(presenter.presented.empty() || presenter.presented.back().isEmpty());
}

} // namespace
