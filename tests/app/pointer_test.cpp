#include "app/pointer.h"
#include "platform/headless/headless_window.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>
#include <numeric>
#include <string>
#include <vector>

namespace {

// Art for every cursor id: a 6x7 image, opaque everywhere, with the hotspot
// marker at row 0 column 3 and as the first pixel of row 5.
class FakeCursorArt final : public CursorArtSource {
public:
    bool cursorArt(int32_t artId, CursorArt& art) override
    {
        if (missing.count(artId))
            return false;
        art.width = 7; // made even when loaded
        art.height = 6;
        art.pixels.assign(size_t(art.width * art.height), 0x7C00);
        art.pixels[3] = kHotspotMarker;
        art.pixels[size_t(5 * art.width)] = kHotspotMarker;
        if (truncated.count(artId))
            art.pixels.resize(art.pixels.size() - 1);
        if (empty.count(artId))
            art.width = 0;
        if (tooWide.count(artId)) {
            art.width = kMaxCursorSide + 1;
            art.pixels.assign(size_t(art.width * art.height), 0x7C00);
        }
        return true;
    }
    std::map<int32_t, bool> missing;
    // Art that claims more pixels than it holds, has no width, or is wider
    // than any cursor.
    std::map<int32_t, bool> truncated;
    std::map<int32_t, bool> empty;
    std::map<int32_t, bool> tooWide;
};

class Pointer : public ::testing::Test {
protected:
    Pointer()
    {
        initPointerState();
        setPointerGameArea(0, 0, 640, 480);
        PointerServices services;
        services.isInGame = [this] { return inGame; };
        services.isWarMode = [this] { return warMode; };
        services.currentFacet = [this] { return facet; };
        services.greyOf = [](uint16_t) { return uint16_t(0x4210); };
        setPointerServices(services);
    }
    ~Pointer() override
    {
        setPointerServices({});
        releasePointerState();
    }
    // Places the hot point at (dx, dy) from the game-area centre (320, 240).
    void placeAt(int32_t dx, int32_t dy) { movePointerTo(320 + dx, 240 + dy); }

    bool inGame = true;
    bool warMode = true;
    int32_t facet = 0;
};

struct DirectionCase {
    const char* name;
    int32_t dx, dy;
    int32_t expected;
};

class PointerDirection : public Pointer, public ::testing::WithParamInterface<DirectionCase> { };

TEST_P(PointerDirection, SectorsOfSlopeHalfAndTwo)
{
    placeAt(GetParam().dx, GetParam().dy);
    EXPECT_EQ(getPointerDirection(false), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PointerDirection,
    ::testing::Values(DirectionCase { "Centre", 0, 0, 0 }, DirectionCase { "SteepDownRight", 10, 20, 4 },
        DirectionCase { "JustBelowSteep", 10, 19, 3 }, DirectionCase { "StraightUp", 0, -50, 0 },
        DirectionCase { "UpRightBorder", 10, -20, 1 }, DirectionCase { "UpRightSteep", 10, -21, 0 },
        DirectionCase { "RightFlat", 10, 4, 2 }, DirectionCase { "RightBorder", 10, 5, 3 },
        DirectionCase { "StraightLeft", -50, 0, 6 }, DirectionCase { "DownLeftBorder", -10, 5, 6 },
        DirectionCase { "DownLeft", -10, 6, 5 }, DirectionCase { "UpLeft", -10, -6, 7 },
        DirectionCase { "UpLeftSteep", -10, -20, 0 }, DirectionCase { "StraightDown", 0, 50, 4 },
        DirectionCase { "OutsideLeft", -321, 0, -1 }, DirectionCase { "OutsideBottom", 0, 240, -1 },
        DirectionCase { "LastColumn", 319, 0, 2 }),
    [](const ::testing::TestParamInfo<DirectionCase>& param) { return std::string(param.param.name); });

TEST_F(Pointer, GameAreaOffsetMovesTheCentre)
{
    setPointerGameArea(100, 50, 800, 600);
    movePointerTo(500, 350); // the centre of the moved area
    EXPECT_EQ(getPointerDirection(false), 0);
    movePointerTo(99, 350);
    EXPECT_EQ(getPointerDirection(false), -1);
    EXPECT_EQ(getPointerDirection(true), 6);
}

TEST_F(Pointer, NearCentreIsAnEllipse)
{
    placeAt(213, 0);
    EXPECT_TRUE(isPointerNearCentre());
    placeAt(214, 0);
    EXPECT_FALSE(isPointerNearCentre());
    placeAt(0, 160);
    EXPECT_TRUE(isPointerNearCentre());
    placeAt(0, 161);
    EXPECT_FALSE(isPointerNearCentre());
}

TEST_F(Pointer, BusyCountHoldsTheBusyKind)
{
    setCursorKind(20);
    setCursorKind(20);
    EXPECT_EQ(busyCount(), 1);
    setCursorKind(5);
    EXPECT_EQ(getCursorKind(), 20);
    endBusyCursor();
    setCursorKind(5);
    EXPECT_EQ(getCursorKind(), 5);
}

TEST_F(Pointer, OutOfGameEverythingIsTheNormalPointerInPeace)
{
    inGame = false;
    warMode = false;
    setCursorKind(19);
    EXPECT_EQ(getCursorKind(), 17);
    placeAt(0, 0);
    EXPECT_EQ(shownCursorKind(), 40);
    beginBusyCursor();
    setCursorKind(19);
    EXPECT_EQ(getCursorKind(), 20);
    placeAt(1, 1);
    EXPECT_EQ(shownCursorKind(), 43);
}

TEST_F(Pointer, ArrowKindFollowsDirectionAndDistance)
{
    setCursorKind(0);
    placeAt(300, 0); // right, far
    EXPECT_EQ(shownCursorKind(), 2);
    placeAt(50, 0); // right, near
    EXPECT_EQ(shownCursorKind(), 10);
    movePointerTo(700, 10); // outside the game area
    EXPECT_EQ(shownCursorKind(), 17);
    warMode = false;
    movePointerTo(701, 10);
    EXPECT_EQ(shownCursorKind(), 40);
}

// A requested kind that lands outside the 46 rows once the peace offset is
// added is refused: the kind shown stays what it was.
TEST_F(Pointer, KindsOutsideTheTableAreRefused)
{
    warMode = false;
    setCursorKind(17);
    placeAt(0, 0);
    ASSERT_EQ(shownCursorKind(), 40);
    for (int32_t requested : { -24, 23, -1000 }) {
        setCursorKind(requested);
        placeAt(1, 1);
        EXPECT_EQ(shownCursorKind(), 40) << requested;
    }
    warMode = true;
    setCursorKind(-1);
    placeAt(2, 2);
    EXPECT_EQ(shownCursorKind(), 40);
    setCursorKind(46);
    placeAt(3, 3);
    EXPECT_EQ(shownCursorKind(), 40);
}

TEST_F(Pointer, GumpTypesChooseArrowOrNormal)
{
    setCursorForGumpType(3);
    EXPECT_EQ(getCursorKind(), 0);
    setCursorForGumpType(9);
    EXPECT_EQ(getCursorKind(), 17);
    setCursorForGumpType(38);
    EXPECT_EQ(getCursorKind(), 0);
}

TEST_F(Pointer, HotspotIsFoundByTheMarkerAndPositionsTheImage)
{
    FakeCursorArt art;
    loadCursors(art, 0, false);
    const CursorKindRow& row = cursorKindRow(17);
    EXPECT_TRUE(row.loaded);
    EXPECT_EQ(row.hotspotX, 3);
    EXPECT_EQ(row.hotspotY, 5);
    EXPECT_EQ(row.maxWidth, 7);
    setCursorKind(17);
    movePointerTo(100, 100);
    int32_t x = 0;
    int32_t y = 0;
    getPointerPosition(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
    int32_t width = 0;
    int32_t height = 0;
    getCursorImageSize(width, height);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(height, 6);
}

TEST_F(Pointer, MissingArtLeavesTheKindUnloaded)
{
    FakeCursorArt art;
    art.missing[24668] = true;
    art.missing[24669] = true;
    loadCursors(art, 0, false);
    EXPECT_FALSE(cursorKindRow(17).loaded);
    setCursorKind(17);
    movePointerTo(50, 60);
    int32_t x = 0;
    int32_t y = 0;
    getPointerPosition(x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
}

TEST_F(Pointer, DamagedArtIsTakenForMissingArt)
{
    FakeCursorArt art;
    art.truncated[24668] = true;
    art.empty[24669] = true;
    art.tooWide[24670] = true;
    loadCursors(art, 0, false);
    EXPECT_FALSE(cursorKindRow(17).loaded);
    EXPECT_FALSE(cursorKindRow(18).loaded);
    EXPECT_TRUE(cursorKindRow(19).loaded);
    // The image for kind 17 is art 24668: nothing of it is drawn.
    setCursorKind(17);
    setPointerDrawingAllowed(true);
    std::vector<uint16_t> ring(size_t(640 * 480), 0);
    notePointerMoved(10, 10);
    drawPointerIntoFrame(ring.data(), 640, 480, 0);
    EXPECT_EQ(std::count(ring.begin(), ring.end(), 0), std::ptrdiff_t(ring.size()));
    removePointerFromFrame(ring.data());
}

// A captured pointer dragged past the window's left or top edge reports
// negative positions; they are positions like any other.
TEST_F(Pointer, AMousePositionPastTheLeftAndTopEdgesIsFollowed)
{
    setPointerDrawingAllowed(true);
    movePointerTo(50, 60);
    notePointerMoved(-5, -7);
    std::vector<uint16_t> ring(size_t(640 * 480), 0);
    drawPointerIntoFrame(ring.data(), 640, 480, 0);
    removePointerFromFrame(ring.data());
    int32_t x = 0;
    int32_t y = 0;
    getPointerPosition(x, y);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, -7);
    EXPECT_FALSE(pointerNeedsRedraw());
    notePointerMoved(-6, -7);
    EXPECT_TRUE(pointerNeedsRedraw());
}

TEST_F(Pointer, CombatHueTintsTheWarSetByItsRedIntensity)
{
    FakeCursorArt art;
    loadCursors(art, 0x001F, false); // pure blue tint
    setCursorKind(17);
    setPointerDrawingAllowed(true);
    std::vector<uint16_t> ring(size_t(640 * 480), 0);
    notePointerMoved(10, 10);
    drawPointerIntoFrame(ring.data(), 640, 480, 0);
    // Red 31 -> blue (31 * 31) >> 5 = 30.
    EXPECT_EQ(ring[size_t((10 - 5 + 1) * 640 + (10 - 3))], 30);
    removePointerFromFrame(ring.data());
}

TEST_F(Pointer, ComposeThenRestoreLeavesTheRingIdenticalAcrossTheWrap)
{
    FakeCursorArt art;
    loadCursors(art, 0, false);
    setCursorKind(17);
    setPointerDrawingAllowed(true);
    std::vector<uint16_t> ring(size_t(640 * 480));
    std::iota(ring.begin(), ring.end(), uint16_t(1));
    std::vector<uint16_t> original = ring;
    // The picture starts near the ring's end, so the pointer's rows wrap.
    int64_t offset = int64_t(640) * 478 + 630;
    notePointerMoved(12, 8); // the image's top-left at picture (9, 3)
    drawPointerIntoFrame(ring.data(), 640, 480, offset);
    EXPECT_NE(ring, original);
    // Picture (9, 3) lies past the ring's end and wraps to its start.
    EXPECT_EQ(ring[size_t((offset + 3 * 640 + 9) % (640 * 480))], 0x7C00);
    EXPECT_EQ(ring[size_t(offset + 9)], original[size_t(offset + 9)]);
    removePointerFromFrame(ring.data());
    EXPECT_EQ(ring, original);
    EXPECT_FALSE(isCursorDirty());
}

TEST_F(Pointer, GreySetOffTheFirstFacetInPeace)
{
    FakeCursorArt art;
    loadCursors(art, 0, false);
    warMode = false;
    facet = 2;
    setCursorKind(17);
    setPointerDrawingAllowed(true);
    std::vector<uint16_t> ring(size_t(640 * 480), 0);
    notePointerMoved(20, 20);
    drawPointerIntoFrame(ring.data(), 640, 480, 0);
    EXPECT_EQ(ring[size_t(20 * 640 + 20)], 0x4210);
    removePointerFromFrame(ring.data());
}

TEST_F(Pointer, GreySetIn565LooksUpIn555AndWidensTheResult)
{
    FakeCursorArt art;
    loadCursors(art, 0, true);
    warMode = false;
    facet = 3;
    uint16_t lookedUp = 0;
    PointerServices services;
    services.isInGame = [] { return true; };
    services.isWarMode = [] { return false; };
    services.currentFacet = [] { return 3; };
    services.greyOf = [&lookedUp](uint16_t pixel) {
        lookedUp = pixel;
        return uint16_t(0x4210);
    };
    setPointerServices(services);
    setCursorKind(17);
    setPointerDrawingAllowed(true);
    std::vector<uint16_t> ring(size_t(640 * 480), 0);
    notePointerMoved(20, 20);
    drawPointerIntoFrame(ring.data(), 640, 480, 0);
    EXPECT_EQ(ring[size_t(20 * 640 + 20)], 0x8410); // 0x4210 widened
    EXPECT_EQ(lookedUp & 0x8000, 0); // a 5-5-5 value was looked up
    removePointerFromFrame(ring.data());
}

TEST_F(Pointer, TimerFollowsTheMouseAndStopsCleanly)
{
    platform::HeadlessWindow timerWindow;
    notePointerMoved(77, 88);
    startPointerTimer(timerWindow);
    EXPECT_TRUE(pointerTimerRunning());
    int32_t x = 0;
    int32_t y = 0;
    // Up to 10 s: the timer thread may be scheduled late on a loaded machine.
    for (int i = 0; i < 2000 && x != 77; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        getPointerPosition(x, y);
    }
    EXPECT_EQ(x, 77);
    EXPECT_EQ(y, 88);
    // It asks the main thread for a present of what changed, not a repaint.
    platform::WindowMessage message;
    bool askedForChanges = false;
    for (int i = 0; i < 2000 && !askedForChanges; ++i) {
        while (timerWindow.peekMessage(message)) {
            EXPECT_NE(message.kind, platform::MessageKind::Paint);
            askedForChanges |= message.kind == platform::MessageKind::Timer && message.code == kPointerTimerId;
        }
        if (!askedForChanges)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(askedForChanges);
    stopPointerTimer();
    EXPECT_FALSE(pointerTimerRunning());
    stopPointerTimer();
}

} // namespace

namespace {

// The process may end while the timer runs, through a library's exit() rather
// than the orderly shutdown: that must be a normal exit, not a terminate from
// destroying a running thread.
TEST(PointerTimerDeathTest, AnExitWhileTheTimerRunsEndsNormally)
{
    EXPECT_EXIT(
        {
            // Reachable until the end, so that it outlives the timer.
            static platform::HeadlessWindow* timerWindow = new platform::HeadlessWindow;
            initPointerState();
            notePointerMoved(5, 6);
            startPointerTimer(*timerWindow);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

} // namespace
