#include "gfx/back_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

// Checks the list's promises: entries inside the game area, pairwise disjoint,
// none running over the wrap point.
void expectListInvariants(const BackBuffer& buffer)
{
    std::span<const ScreenRect> entries = buffer.dirtyRects();
    int64_t wrap = buffer.pixelCount() - buffer.ringStart();
    for (size_t i = 0; i < entries.size(); ++i) {
        const ScreenRect& e = entries[i];
        ASSERT_FALSE(e.isEmpty());
        ASSERT_GE(e.left, 0);
        ASSERT_GE(e.top, 0);
        ASSERT_LE(e.right, buffer.gameWidth());
        ASSERT_LE(e.bottom, buffer.gameHeight());
        int64_t first = int64_t(e.top) * buffer.width() + e.left;
        int64_t last = int64_t(e.bottom - 1) * buffer.width() + e.right - 1;
        ASSERT_EQ(first < wrap, last < wrap) << "entry " << i << " straddles the wrap point";
        for (size_t j = i + 1; j < entries.size(); ++j)
            ASSERT_FALSE(e.overlaps(entries[j])) << "entries " << i << " and " << j << " overlap";
    }
}

std::vector<bool> coverage(const BackBuffer& buffer)
{
    std::vector<bool> mask(size_t(buffer.gameWidth()) * buffer.gameHeight(), false);
    for (const ScreenRect& e : buffer.dirtyRects())
        for (int32_t y = e.top; y < e.bottom; ++y)
            for (int32_t x = e.left; x < e.right; ++x)
                mask[size_t(y) * buffer.gameWidth() + x] = true;
    return mask;
}

struct ModelCase {
    const char* name;
    int32_t gameWidth;
    int32_t gameHeight;
    // A larger first creation leaves the buffer wider than the game area.
    int32_t firstWidth;
    int32_t firstHeight;
    uint32_t seed;
};

class DirtyRectModel : public testing::TestWithParam<ModelCase> { };

TEST_P(DirtyRectModel, RandomInvalidationsAndScrollsKeepTheListExact)
{
    const ModelCase& c = GetParam();
    BackBuffer buffer;
    buffer.create(c.firstWidth, c.firstHeight, BufferFormat::Rgb555);
    buffer.create(c.gameWidth, c.gameHeight, BufferFormat::Rgb555);
    const int32_t w = c.gameWidth;
    const int32_t h = c.gameHeight;
    std::mt19937 random(c.seed);
    auto between = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(random); };

    std::vector<bool> model(size_t(w) * h, true);
    for (int step = 0; step < 3000; ++step) {
        int kind = between(0, 19);
        if (kind == 0) {
            buffer.renderWorldDirtyRects(nullptr);
            model.assign(model.size(), false);
        } else if (kind <= 6) {
            int32_t dx = between(0, 3) == 0 ? 0 : between(-w / 2, w / 2);
            int32_t dy = between(0, 3) == 0 ? 0 : between(-h / 2, h / 2);
            bool pending = buffer.isFullRedrawPending();
            buffer.scrollWorldView(dx, dy);
            if (!pending) {
                std::vector<bool> moved(model.size(), false);
                for (int32_t y = 0; y < h; ++y)
                    for (int32_t x = 0; x < w; ++x) {
                        int32_t fromX = x - dx, fromY = y - dy;
                        bool exposed = fromX < 0 || fromX >= w || fromY < 0 || fromY >= h;
                        moved[size_t(y) * w + x] = exposed || model[size_t(fromY) * w + fromX];
                    }
                model = moved;
            }
        } else {
            ScreenRect r { between(-10, w + 5), between(-10, h + 5), 0, 0 };
            r.right = r.left + between(-2, w / 3);
            r.bottom = r.top + between(-2, h / 3);
            buffer.invalidateScreenRect(&r);
            if (!buffer.isFullRedrawPending())
                for (int32_t y = std::max(r.top, 0); y < std::min(r.bottom, h); ++y)
                    for (int32_t x = std::max(r.left, 0); x < std::min(r.right, w); ++x)
                        model[size_t(y) * w + x] = true;
        }
        if (buffer.isFullRedrawPending())
            model.assign(model.size(), true);
        ASSERT_NO_FATAL_FAILURE(expectListInvariants(buffer)) << "step " << step;
        ASSERT_TRUE(coverage(buffer) == model) << "step " << step << " ringStart " << buffer.ringStart();
    }
}

INSTANTIATE_TEST_SUITE_P(Ring, DirtyRectModel,
    testing::Values(ModelCase { "Square", 32, 32, 32, 32, 1 }, ModelCase { "OddSizes", 37, 23, 37, 23, 2 },
        ModelCase { "WiderThanGameArea", 29, 17, 41, 19, 3 }, ModelCase { "Tall", 11, 53, 11, 53, 4 }),
    [](const testing::TestParamInfo<ModelCase>& caseInfo) { return std::string(caseInfo.param.name); });

class BackBufferTest : public testing::Test {
protected:
    void SetUp() override
    {
        buffer.create(10, 8, BufferFormat::Rgb555);
        buffer.renderWorldDirtyRects(nullptr);
    }
    // Moves the ring start to `start` with scrolls, then empties the list.
    void setRingStart(int64_t start)
    {
        int64_t delta = buffer.ringStart() - start;
        buffer.scrollWorldView(int32_t(delta % 10), int32_t(delta / 10));
        buffer.renderWorldDirtyRects(nullptr);
        ASSERT_EQ(buffer.ringStart(), start);
    }
    std::vector<ScreenRect> rects() const { return { buffer.dirtyRects().begin(), buffer.dirtyRects().end() }; }
    BackBuffer buffer;
};

TEST_F(BackBufferTest, EdgeTouchingRectIsAppendedWholeAndCoveredRectAddsNothing)
{
    ScreenRect a { 0, 0, 4, 4 }, b { 4, 0, 8, 4 }, inside { 1, 1, 3, 3 };
    buffer.invalidateScreenRect(&a);
    buffer.invalidateScreenRect(&b);
    buffer.invalidateScreenRect(&inside);
    EXPECT_EQ(rects(), (std::vector<ScreenRect> { a, b }));
}

TEST_F(BackBufferTest, RingStartZeroNeverSplits)
{
    ScreenRect all { 0, 0, 10, 8 };
    buffer.invalidateScreenRect(&all);
    EXPECT_EQ(rects(), (std::vector<ScreenRect> { all }));
}

TEST_F(BackBufferTest, WrapColumnInsideGivesFourPieces)
{
    setRingStart(80 - 34); // wrap at relative index 34: row 3, column 4
    ScreenRect r { 2, 1, 7, 6 };
    buffer.invalidateScreenRect(&r);
    EXPECT_EQ(rects(),
        (std::vector<ScreenRect> { { 2, 1, 4, 4 }, { 4, 1, 7, 3 }, { 4, 3, 7, 6 }, { 2, 4, 4, 6 } }));
}

TEST_F(BackBufferTest, WrapOnTopRowDropsTheEmptySecondPiece)
{
    setRingStart(80 - 14); // row 1, column 4
    ScreenRect r { 2, 1, 7, 3 };
    buffer.invalidateScreenRect(&r);
    EXPECT_EQ(rects(), (std::vector<ScreenRect> { { 2, 1, 4, 2 }, { 4, 1, 7, 3 }, { 2, 2, 4, 3 } }));
}

TEST_F(BackBufferTest, RectStartingAtTheWrapPointIsDrawnFromTheShiftedBase)
{
    setRingStart(80 - 34);
    ScreenRect r { 4, 3, 6, 5 };
    buffer.invalidateScreenRect(&r);
    ASSERT_EQ(rects(), (std::vector<ScreenRect> { r }));
    BlitTarget target = buffer.targetForRect(r);
    EXPECT_EQ(target.origin, 46 - 80);
    EXPECT_EQ(target.at(4, 3), buffer.pixels());
}

TEST_F(BackBufferTest, ListOverflowBecomesFullRedrawAtRingStartZero)
{
    BackBuffer big;
    big.create(64, 64, BufferFormat::Rgb555);
    big.renderWorldDirtyRects(nullptr);
    big.scrollWorldView(3, 0);
    big.renderWorldDirtyRects(nullptr);
    for (int raised = 0; raised < 2; ++raised) {
        big.setDirtyListLimitRaised(raised == 1);
        int32_t limit = raised ? DirtyRectList::kRaisedLimit : DirtyRectList::kNormalLimit;
        big.resetBackgroundAndRedraw();
        big.renderWorldDirtyRects(nullptr);
        for (int32_t i = 0; i < limit; ++i) {
            ScreenRect dot { i % 64, i / 64, i % 64 + 1, i / 64 + 1 };
            big.invalidateScreenRect(&dot);
        }
        EXPECT_FALSE(big.isFullRedrawPending());
        EXPECT_EQ(big.dirtyRects().size(), size_t(limit));
        ScreenRect one_more { 5, 40, 6, 41 };
        big.invalidateScreenRect(&one_more);
        EXPECT_TRUE(big.isFullRedrawPending());
        EXPECT_EQ(big.ringStart(), 0);
        EXPECT_EQ(std::vector<ScreenRect>(big.dirtyRects().begin(), big.dirtyRects().end()), (std::vector<ScreenRect> { { 0, 0, 64, 64 } }));
    }
}

TEST_F(BackBufferTest, ZeroScrollDoesNothing)
{
    setRingStart(13);
    buffer.scrollWorldView(0, 0);
    EXPECT_TRUE(buffer.dirtyRects().empty());
    EXPECT_EQ(buffer.ringStart(), 13);
}

TEST_F(BackBufferTest, DiagonalScrollQueuesTwoDisjointStrips)
{
    buffer.scrollWorldView(2, -3);
    // Two strips, an L of 2 columns and 3 rows; the wrap point may cut them further.
    std::vector<bool> mask = coverage(buffer);
    int32_t covered = 0;
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            covered += mask[size_t(y) * 10 + x];
            ASSERT_EQ(mask[size_t(y) * 10 + x], x < 2 || y >= 5) << x << "," << y;
        }
    EXPECT_EQ(covered, 2 * 8 + 10 * 3 - 2 * 3);
    expectListInvariants(buffer);
}

TEST_F(BackBufferTest, RingStartOfNAddressesLikeZero)
{
    setRingStart(5);
    buffer.scrollWorldView(-5, -7); // ringStart 5 + 5 + 70 = 80 = N
    EXPECT_EQ(buffer.ringStart(), 80);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x)
            ASSERT_EQ(buffer.ringIndex(x, y), y * 10 + x);
    buffer.renderWorldDirtyRects(nullptr);
    ScreenRect all { 0, 0, 10, 8 };
    buffer.invalidateScreenRect(&all);
    EXPECT_EQ(rects(), (std::vector<ScreenRect> { all }));
    EXPECT_EQ(buffer.targetForRect(all).origin, 0);
}

TEST_F(BackBufferTest, ResetQueuesTheWholeScreenEvenWhilePending)
{
    buffer.invalidateWholeScreen();
    buffer.resetBackgroundAndRedraw();
    EXPECT_EQ(rects(), (std::vector<ScreenRect> { { 0, 0, 10, 8 } }));
    EXPECT_TRUE(buffer.isFullRedrawPending());
}

TEST_F(BackBufferTest, DeadScreenFadeDropsInvalidations)
{
    buffer.setDeadScreenFadeActive(true);
    ScreenRect r { 1, 1, 3, 3 };
    buffer.invalidateScreenRect(&r);
    buffer.invalidateWholeScreen();
    EXPECT_TRUE(buffer.dirtyRects().empty());
    EXPECT_FALSE(buffer.isFullRedrawPending());
}

TEST_F(BackBufferTest, RecreationDuringTheFadeForgetsTheOldEntries)
{
    setRingStart(57);
    ScreenRect corner { 6, 5, 10, 8 };
    buffer.invalidateScreenRect(&corner);
    buffer.setDeadScreenFadeActive(true);
    buffer.create(5, 4, BufferFormat::Rgb555);
    EXPECT_TRUE(buffer.dirtyRects().empty()) << "an entry of the old area would lie outside the new one";
    EXPECT_EQ(buffer.ringStart(), 0);
    buffer.setDeadScreenFadeActive(false);
    buffer.invalidateWholeScreen();
    EXPECT_EQ(rects(), (std::vector<ScreenRect> { { 0, 0, 5, 4 } }));
}

TEST_F(BackBufferTest, ScrollMovesContentAndClearsTheExposedStrips)
{
    setRingStart(37);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x)
            buffer.pixels()[buffer.ringIndex(x, y)] = uint16_t(1 + y * 10 + x);
    const int32_t dx = -3, dy = 2;
    buffer.scrollWorldView(dx, dy);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            int32_t fromX = x - dx, fromY = y - dy;
            bool exposed = fromX < 0 || fromX >= 10 || fromY < 0 || fromY >= 8;
            uint16_t expected = exposed ? 0 : uint16_t(1 + fromY * 10 + fromX);
            ASSERT_EQ(buffer.pixels()[buffer.ringIndex(x, y)], expected) << x << "," << y;
        }
}

TEST_F(BackBufferTest, ScrollOfAWholeScreenRedrawsEverything)
{
    setRingStart(21);
    buffer.scrollWorldView(10, 0);
    EXPECT_TRUE(buffer.isFullRedrawPending());
    EXPECT_EQ(buffer.ringStart(), 0);
}

TEST_F(BackBufferTest, ClearRingClearsOnlyTheGameArea)
{
    BackBuffer wide;
    wide.create(12, 6, BufferFormat::Rgb555);
    wide.create(9, 5, BufferFormat::Rgb555);
    wide.renderWorldDirtyRects(nullptr);
    wide.scrollWorldView(-4, -2);
    std::fill_n(wide.pixels(), wide.pixelCount(), uint16_t(7));
    wide.clearBackBufferRing();
    int64_t cleared = 0;
    for (int64_t i = 0; i < wide.pixelCount(); ++i)
        cleared += wide.pixels()[i] == 0;
    EXPECT_EQ(cleared, 9 * 5);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 9; ++x)
            ASSERT_EQ(wide.pixels()[wide.ringIndex(x, y)], 0);
}

class RecordingDrawer : public WorldRectDrawer {
public:
    void drawWorldRect(const BlitTarget& target, const ScreenRect& rect) override
    {
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            for (int32_t x = rect.left; x < rect.right; ++x)
                *target.at(x, y) = uint16_t(1 + y * 100 + x);
        drawn.push_back(rect);
    }
    std::vector<ScreenRect> drawn;
};

TEST_F(BackBufferTest, WorldFrameDrawsEveryEntryThroughTheRing)
{
    setRingStart(57);
    ScreenRect all { 0, 0, 10, 8 };
    buffer.invalidateScreenRect(&all);
    RecordingDrawer drawer;
    buffer.renderWorldDirtyRects(&drawer);
    EXPECT_GT(drawer.drawn.size(), 1u);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x)
            ASSERT_EQ(buffer.pixels()[buffer.ringIndex(x, y)], uint16_t(1 + y * 100 + x));
    EXPECT_EQ(buffer.presentRects().size(), drawer.drawn.size());
    EXPECT_TRUE(buffer.dirtyRects().empty());
    EXPECT_FALSE(buffer.isFullRedrawPending());
}

// One pixel in the surface's format, worked out channel by channel.
uint32_t expectedSurfacePixel(uint16_t p, BufferFormat from, platform::SurfaceFormat to)
{
    uint32_t red = from == BufferFormat::Rgb565 ? p >> 11 : (p >> 10) & 31;
    uint32_t green6 = from == BufferFormat::Rgb565 ? (p >> 5) & 63 : ((p >> 5) & 31) << 1;
    uint32_t blue = p & 31;
    switch (to) {
    case platform::SurfaceFormat::Rgb555:
        return red << 10 | (green6 >> 1) << 5 | blue;
    case platform::SurfaceFormat::Rgb565:
        return red << 11 | green6 << 5 | blue;
    case platform::SurfaceFormat::Xrgb8888: {
        uint32_t green8 = from == BufferFormat::Rgb565 ? green6 << 2 | green6 >> 4 : green6 << 2 | green6 >> 3;
        return (red << 3 | red >> 2) << 16 | green8 << 8 | (blue << 3 | blue >> 2);
    }
    }
    return 0;
}

struct PictureCase {
    const char* name;
    int32_t width;
    int32_t height;
    int64_t ringStart;
    int32_t offsetX;
    int32_t offsetY;
    BufferFormat buffer;
    platform::SurfaceFormat surface;
    std::vector<ScreenRect> rects; // empty: the whole picture
};

class PictureRects : public testing::TestWithParam<PictureCase> { };

// The present path: the picture's rectangles written from the ring onto a
// surface with a wider pitch, checked pixel by pixel against the plain rule
// (picture pixel (x, y) is ring index (start + y * W + x) mod N) and the
// channel formulas; nothing outside the rectangles is touched.
TEST_P(PictureRects, MatchTheModuloReference)
{
    const PictureCase& c = GetParam();
    BackBuffer buffer;
    buffer.create(c.width, c.height, c.buffer);
    buffer.renderWorldDirtyRects(nullptr);
    buffer.scrollWorldView(-int32_t(c.ringStart % c.width), -int32_t(c.ringStart / c.width));
    ASSERT_EQ(buffer.ringStart(), c.ringStart);
    const int64_t n = buffer.pixelCount();
    const uint16_t used = c.buffer == BufferFormat::Rgb565 ? 0xFFFF : 0x7FFF;
    for (int64_t i = 0; i < n; ++i)
        buffer.pixels()[i] = uint16_t((i * 2654435761u) >> 13) & used;
    const int32_t bytes = platform::bytesPerPixel(c.surface);
    std::vector<uint8_t> memory(size_t(c.width + 3) * bytes * c.height, 0xA5);
    platform::FrameSurface surface;
    surface.pixels = memory.data();
    surface.pitch = (c.width + 3) * bytes;
    surface.width = c.width;
    surface.height = c.height;
    surface.format = c.surface;
    std::vector<ScreenRect> rects = c.rects;
    if (rects.empty())
        rects.push_back({ 0, 0, c.width, c.height });
    const int64_t start = buffer.pictureStart(c.offsetX, c.offsetY);
    buffer.writePictureRects(start, rects, surface);
    const int64_t d = c.ringStart - int64_t(c.offsetY) * c.width - c.offsetX;
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width + 3; ++x) {
            uint32_t got = 0;
            std::memcpy(&got, memory.data() + size_t(y) * surface.pitch + size_t(x) * bytes, size_t(bytes));
            bool inside = x < c.width
                && std::any_of(rects.begin(), rects.end(), [&](const ScreenRect& r) { return r.contains(x, y); });
            if (!inside) {
                ASSERT_EQ(got, bytes == 4 ? 0xA5A5A5A5u : 0xA5A5u) << "written outside at " << x << "," << y;
                continue;
            }
            uint16_t p = buffer.pixels()[((d + int64_t(y) * c.width + x) % n + n) % n];
            ASSERT_EQ(got, expectedSurfacePixel(p, c.buffer, c.surface)) << x << "," << y;
        }
}

using platform::SurfaceFormat;
INSTANTIATE_TEST_SUITE_P(Surface, PictureRects,
    testing::Values(PictureCase { "Start0", 13, 7, 0, 0, 0, BufferFormat::Rgb555, SurfaceFormat::Rgb555, {} },
        PictureCase { "OddStart", 13, 7, 29, 0, 0, BufferFormat::Rgb555, SurfaceFormat::Rgb555, {} },
        PictureCase { "StartOnTheFirstRow", 13, 7, 5, 0, 0, BufferFormat::Rgb555, SurfaceFormat::Rgb555, {} },
        PictureCase { "OddStartTo565", 13, 7, 29, 0, 0, BufferFormat::Rgb555, SurfaceFormat::Rgb565, {} },
        PictureCase { "Offset", 11, 9, 50, 3, 2, BufferFormat::Rgb555, SurfaceFormat::Rgb555, {} },
        PictureCase { "OffsetTo565", 11, 9, 98, 4, 1, BufferFormat::Rgb555, SurfaceFormat::Rgb565, {} },
        PictureCase { "LastPixelTo565", 5, 3, 14, 0, 0, BufferFormat::Rgb555, SurfaceFormat::Rgb565, {} },
        // The world path: the view offset takes the start back past the
        // array's beginning, so the start is negative before it wraps.
        PictureCase { "NegativeStart", 11, 9, 5, 3, 2, BufferFormat::Rgb555, SurfaceFormat::Rgb555, {} },
        PictureCase { "NegativeStartTo8888", 11, 9, 5, 3, 2, BufferFormat::Rgb555, SurfaceFormat::Xrgb8888, {} },
        PictureCase { "ZeroStartWithOffset", 12, 8, 0, 1, 1, BufferFormat::Rgb555, SurfaceFormat::Xrgb8888, {} },
        PictureCase { "From565To555", 13, 7, 29, 2, 1, BufferFormat::Rgb565, SurfaceFormat::Rgb555, {} },
        PictureCase { "From565To8888", 13, 7, 29, 2, 1, BufferFormat::Rgb565, SurfaceFormat::Xrgb8888, {} },
        PictureCase { "From565To565", 13, 7, 29, 2, 1, BufferFormat::Rgb565, SurfaceFormat::Rgb565, {} },
        PictureCase { "RectsOverTheWrap", 21, 9, 40, 5, 3, BufferFormat::Rgb555, SurfaceFormat::Xrgb8888,
            { { 0, 0, 21, 1 }, { 3, 2, 20, 5 }, { 18, 6, 30, 40 }, { -4, 7, 2, 9 } } },
        PictureCase { "RectsNegativeStartTo565", 21, 9, 3, 9, 4, BufferFormat::Rgb555, SurfaceFormat::Rgb565,
            { { 1, 1, 17, 3 }, { 0, 8, 21, 9 } } }),
    [](const testing::TestParamInfo<PictureCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(PictureStart, ViewOffsetMovesTheStartBackAndWraps)
{
    BackBuffer buffer;
    buffer.create(100, 50, BufferFormat::Rgb555);
    buffer.renderWorldDirtyRects(nullptr);
    EXPECT_EQ(buffer.pictureStart(0, 0), 0);
    buffer.scrollWorldView(-50, -2);
    EXPECT_EQ(buffer.pictureStart(10, 2), 40);
    EXPECT_EQ(buffer.pictureStart(60, 2), 4990);
}

TEST(PictureChanges, GatheredUntilTakenAndMovedByTheViewOffset)
{
    BackBuffer buffer;
    buffer.create(40, 30, BufferFormat::Rgb555);
    std::vector<ScreenRect> rects;
    EXPECT_TRUE(buffer.takePictureChanges(0, 0, rects)) << "a new buffer is shown whole";
    buffer.renderWorldDirtyRects(nullptr);
    EXPECT_FALSE(buffer.takePictureChanges(0, 0, rects));
    EXPECT_EQ(rects, (std::vector<ScreenRect> { { 0, 0, 40, 30 } })) << "the first world frame";
    buffer.invalidateWholeScreen();
    EXPECT_TRUE(buffer.takePictureChanges(0, 0, rects)) << "a whole-screen invalidation clears every pixel";
    buffer.renderWorldDirtyRects(nullptr);
    buffer.takePictureChanges(0, 0, rects);
    EXPECT_FALSE(buffer.takePictureChanges(0, 0, rects));
    EXPECT_TRUE(rects.empty());

    ScreenRect world { 2, 3, 10, 8 };
    buffer.invalidateScreenRect(&world);
    buffer.renderWorldDirtyRects(nullptr);
    buffer.markPictureChanged({ 35, 0, 40, 4 });
    EXPECT_FALSE(buffer.takePictureChanges(4, 5, rects));
    EXPECT_EQ(rects, (std::vector<ScreenRect> { { 35, 0, 40, 4 }, { 6, 8, 14, 13 } }));
    EXPECT_FALSE(buffer.takePictureChanges(4, 5, rects));
    EXPECT_TRUE(rects.empty()) << "taken once";

    for (int32_t i = 0; i < 300; ++i)
        buffer.markPictureChanged({ i % 40, 0, i % 40 + 1, 1 });
    EXPECT_TRUE(buffer.takePictureChanges(0, 0, rects)) << "too many rectangles become the whole picture";
}

} // namespace
