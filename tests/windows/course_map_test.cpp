// Course maps: the land picture made from the multi map image, the pins and
// lines, and editing as the server grants it: adding, inserting at a
// segment's middle, dragging, removing, clearing, and the server changing
// the course under a drag.

#include "reading_desktop.h"

#include "fixtures/facet_writer.h"
#include "fixtures/sample_reading_art.h"
#include "gfx/hue_table.h"
#include "gump/button.h"
#include "support/png_writer.h"
#include "support/reading_window_packets.h"
#include "windows/course_map.h"
#include "protocol/world_packet_windows.h"
#include "windows/course_map_image.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kMap = 0x40000505;

std::vector<uint8_t> imageBytes(uint32_t width, uint32_t height, const std::vector<uint8_t>& runs)
{
    std::vector<uint8_t> bytes;
    for (uint32_t value : { width, height }) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(uint8_t(value >> shift));
    }
    for (uint8_t run : runs)
        bytes.push_back(run);
    return bytes;
}

TEST(CourseMapImage, LandRunsAreCountedIntoTheMapAndColouredByDensity)
{
    // An 8 x 4 image: 3 land, 5 sea, then 4 land and 4 sea, then a full
    // land row and one more land pixel.
    const std::vector<uint8_t> file = imageBytes(8, 4, { 0x83, 0x05, 0x84, 0x04, 0x88, 0x81 });
    // The whole world onto a 4 x 2 map: each map pixel takes two columns
    // and two rows of the image.
    const CourseArea world { 0, 0, kMultiMapWorldWidth, kMultiMapWorldHeight };
    const std::vector<uint8_t> counts = countMultiMapLand(file, world, 4, 2);
    ASSERT_EQ(counts.size(), 8u);
    EXPECT_EQ(counts, std::vector<uint8_t>({ 4, 3, 0, 0, 3, 2, 2, 2 }));
    uint16_t ramp[32];
    for (int i = 0; i < 32; ++i)
        ramp[i] = uint16_t(100 + i);
    const std::vector<uint16_t> colours = colourMultiMapLand(counts, ramp);
    // The densest is the ramp's first colour: 31 x (4 - k) / 4 for a count k.
    EXPECT_EQ(colours, std::vector<uint16_t>({ 100, 107, 0, 0, 107, 115, 115, 115 }));
}

TEST(CourseMapImage, AShortFileStopsAtItsEndAndAnEmptyOneDrawsNothing)
{
    const CourseArea world { 0, 0, kMultiMapWorldWidth, kMultiMapWorldHeight };
    std::vector<uint8_t> whole = imageBytes(8, 4, { 0x83, 0x05, 0x84, 0x04, 0x88, 0x81 });
    for (size_t cut = 1; cut <= whole.size(); ++cut) {
        const std::vector<uint8_t> shorter(whole.begin(), whole.end() - std::ptrdiff_t(cut));
        const std::vector<uint8_t> counts = countMultiMapLand(shorter, world, 4, 2);
        if (shorter.size() < 8)
            EXPECT_TRUE(counts.empty()) << cut;
        else
            EXPECT_EQ(counts.size(), 8u) << cut;
    }
    // A huge image whose runs end early; runs past the image are not read.
    EXPECT_EQ(countMultiMapLand(imageBytes(0xFFFFFFFF, 0xFFFFFFFF, { 0xFF, 0xFF }), world, 4, 2).size(), 8u);
    EXPECT_EQ(countMultiMapLand(imageBytes(2, 1, { 0x8F, 0x8F, 0x8F }), world, 4, 2),
        std::vector<uint8_t>({ 1, 0, 1, 0, 0, 0, 0, 0 }));
    EXPECT_TRUE(countMultiMapLand(imageBytes(0, 4, { 0x83 }), world, 4, 2).empty());
}

TEST(CourseMapImage, TheRectanglesLastColumnStaysOnTheMap)
{
    // One land pixel at the last column of the rectangle.
    const std::vector<uint8_t> file = imageBytes(8, 1, { 0x07, 0x81 });
    const std::vector<uint8_t> counts = countMultiMapLand(file, { 0, 0, kMultiMapWorldWidth * 7 / 8, 4096 }, 7, 1);
    ASSERT_EQ(counts.size(), 7u);
    EXPECT_EQ(counts[6], 1);
}

class CourseMaps : public windows_test::ReadingDesktop {
protected:
    CourseMaps() { playerBackpack(); }

    CourseGump* open()
    {
        addToContainer(kMap, fixture::kSampleMapGraphic, 100, 100, 0x40000100);
        service<WorldEventWindows>().openCourseMap(kMap, 5021, { 904, 1124, 2104, 2084, 240, 192 });
        CourseGump* window = findCourseGump(kMap);
        if (window)
            window->moveTo(40, 40, true, nullptr, false);
        return window;
    }
    MapItem& map() { return *static_cast<MapItem*>(findItemBySerial(kMap)); }
    void pin(uint16_t x, uint16_t y) { dispatch(test::mapPlotPacket(kMap, 1, 0, x, y)); }
    void grantEditing() { dispatch(test::mapPlotPacket(kMap, 7, 1, 0, 0)); }
    // A click at a window point, taken once the double-click time passed.
    void clickMap(CourseGump& window, int32_t x, int32_t y) { click(window.x() + x, window.y() + y); }
};

TEST_F(CourseMaps, TheMapShowsTheLandPinsAndLines)
{
    CourseGump* window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->width(), 240 + 44);
    EXPECT_EQ(window->height(), 192 + 61);
    pin(20, 20);
    pin(120, 100);
    pin(200, 60);
    ASSERT_EQ(map().plotPointCount(), 3);
    EXPECT_EQ(map().plotPoints()[0].x, 20 + 24);
    EXPECT_EQ(map().plotPoints()[0].y, 20 + 31);
    composeAll();
    std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("reading_course_map.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0x034ecbb32d999b18ull) << std::hex
        << test::surfaceHash(picture.data(), 640, 480, 640);
    // The line between pins 2 and 3 is white at its middle.
    const int32_t middleX = (120 + 200) / 2 + 24;
    const int32_t middleY = (100 + 60) / 2 + 31;
    EXPECT_EQ(screenPixel(window->x() + middleX, window->y() + middleY), CourseGump::kLineColour);
    // The land: every map pixel either keeps the frame's centre or is a
    // colour of hue 348's ramp.
    const auto& ramp = hueTable().entry(347).colours;
    int32_t land = 0;
    for (int32_t y = 0; y < 192; y += 7) {
        for (int32_t x = 0; x < 240; x += 7) {
            const uint16_t shown = screenPixel(window->x() + 24 + x, window->y() + 31 + y);
            const bool ramped = std::find(ramp.begin(), ramp.end(), shown) != ramp.end();
            land += ramped ? 1 : 0;
        }
    }
    EXPECT_GT(land, 100);
}

TEST_F(CourseMaps, NothingIsEditedBeforeTheServerGrantsIt)
{
    CourseGump* window = open();
    takePackets();
    clickMap(*window, 100, 100);
    EXPECT_EQ(map().plotPointCount(), 0);
    EXPECT_FALSE(window->clearButton()->isVisible());
    // The toggle asks.
    click(window->x() + window->editButton()->x() + 3, window->y() + window->editButton()->y() + 3);
    std::vector<Bytes> sent = takePacketsWithId(0x56);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "56 40 00 05 05 06 00 00 00 00 00");
    grantEditing();
    EXPECT_TRUE(window->isEditMode());
    EXPECT_TRUE(window->clearButton()->isVisible());
    dispatch(test::mapPlotPacket(kMap, 8, 0, 0, 0));
    dispatch(test::mapPlotPacket(kMap, 7, 0, 0, 0));
    EXPECT_FALSE(window->isEditMode());
}

TEST_F(CourseMaps, AClickAppendsAndAClickNearASegmentInsertsAtItsMiddle)
{
    CourseGump* window = open();
    grantEditing();
    pin(20, 20);
    pin(120, 20);
    takePackets();
    // Far from the segment: appended where clicked.
    clickMap(*window, 150, 150);
    ASSERT_EQ(map().plotPointCount(), 3);
    EXPECT_EQ(map().plotPoints()[2].x, 150);
    std::vector<Bytes> sent = takePacketsWithId(0x56);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "56 40 00 05 05 01 00 00 7E 00 77");
    // Five pixels below the first segment's middle: inserted at the middle.
    clickMap(*window, 90, 56);
    ASSERT_EQ(map().plotPointCount(), 4);
    EXPECT_EQ(map().plotPoints()[1].x, (44 + 144) / 2);
    EXPECT_EQ(map().plotPoints()[1].y, 51);
    sent = takePacketsWithId(0x56);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "56 40 00 05 05 02 01 00 46 00 14");
    // A double click adds nothing.
    doubleClick(window->x() + 200, window->y() + 180);
    EXPECT_EQ(map().plotPointCount(), 4);
}

TEST_F(CourseMaps, FiftyPinsAreTheMost)
{
    CourseGump* window = open();
    grantEditing();
    for (int32_t i = 0; i < CourseGump::kMaxPins; ++i)
        pin(uint16_t(5 + i * 4), uint16_t(5 + (i % 2) * 150));
    takePackets();
    clickMap(*window, 30, 100);
    EXPECT_EQ(map().plotPointCount(), CourseGump::kMaxPins);
    EXPECT_TRUE(takePacketsWithId(0x56).empty());
    pointAt(window->x() + 30, window->y() + 100);
    EXPECT_FALSE(window->isInsertMarkOn());
}

TEST_F(CourseMaps, DraggingAPinMovesItOrTakesItOffTheMap)
{
    CourseGump* window = open();
    grantEditing();
    pin(20, 20);
    pin(120, 20);
    pin(120, 120);
    takePackets();
    // Pin 2 dragged to a new place inside.
    pressLeft(window->x() + 144, window->y() + 51);
    pointAt(window->x() + 160, window->y() + 90);
    EXPECT_TRUE(window->isDraggingPin());
    EXPECT_EQ(map().plotPointCount(), 2);
    releaseLeft(window->x() + 160, window->y() + 90);
    ASSERT_EQ(map().plotPointCount(), 3);
    EXPECT_EQ(map().plotPoints()[1].x, 160);
    EXPECT_EQ(map().plotPoints()[1].y, 90);
    std::vector<Bytes> sent = takePacketsWithId(0x56);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "56 40 00 05 05 03 01 00 88 00 3B");
    // Pin 1 dragged off the map: removed, the others renumbered.
    pressLeft(window->x() + 44, window->y() + 51);
    pointAt(window->x() + 5, window->y() + 5);
    releaseLeft(window->x() + 5, window->y() + 5);
    ASSERT_EQ(map().plotPointCount(), 2);
    EXPECT_EQ(map().plotPoints()[0].x, 160);
    sent = takePacketsWithId(0x56);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "56 40 00 05 05 04 00 FF E8 FF E1");
}

TEST_F(CourseMaps, TheServerClearingTheCourseUnderADragLeavesNothingStale)
{
    CourseGump* window = open();
    grantEditing();
    pin(20, 20);
    pin(120, 20);
    pin(120, 120);
    pressLeft(window->x() + 144, window->y() + 51);
    pointAt(window->x() + 160, window->y() + 90);
    ASSERT_TRUE(window->isDraggingPin());
    dispatch(test::mapPlotPacket(kMap, 5, 0, 0, 0));
    pointAt(window->x() + 170, window->y() + 95);
    releaseLeft(window->x() + 170, window->y() + 95);
    // The dropped pin goes back at the course's end.
    ASSERT_EQ(map().plotPointCount(), 1);
    EXPECT_EQ(map().plotPoints()[0].x, 170);
    composeAll();
}

TEST_F(CourseMaps, TheClearButtonClearsAtOnceAndClosingEndsTheEdit)
{
    CourseGump* window = open();
    grantEditing();
    pin(20, 20);
    takePackets();
    window->clearCourse();
    EXPECT_EQ(map().plotPointCount(), 0);
    EXPECT_EQ(hexOf(takePacketsWithId(0x56).at(0)), "56 40 00 05 05 05 00 00 00 00 00");
    pressRight(window->x() + 5, window->y() + 5);
    releaseRight(window->x() + 5, window->y() + 5);
    EXPECT_EQ(findCourseGump(kMap), nullptr);
    EXPECT_EQ(hexOf(takePacketsWithId(0x56).at(0)), "56 40 00 05 05 06 00 00 00 00 00");
}

TEST_F(CourseMaps, ServerPinsBeyondWhatAByteCanNameAreRefused)
{
    open();
    for (int32_t i = 0; i < MapItem::kMaxPlotPoints + 10; ++i)
        pin(10, 10);
    EXPECT_EQ(map().plotPointCount(), MapItem::kMaxPlotPoints);
}

} // namespace
