// The radar window on the sample world: its picture checked cell by cell
// against a reading of the sample facet's own blocks, the frame's diamond,
// the rebuild only when the player, the light or the facet change, the wrap
// of the large facet, the blink, the two faces and their desktop record, and
// a damaged colour file.

#include "windows_test_support.h"

#include "data/file_manager.h"
#include "fixtures/facet_writer.h"
#include "fixtures/sample_data_writer.h"
#include "fixtures/sample_radar_art.h"
#include "gfx/colour_tables.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gump/desktop_file.h"
#include "gump/gump_factory.h"
#include "support/png_writer.h"
#include "windows/radar_gump.h"
#include "world/item.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/object_manager.h"
#include "world/tile_data.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

using namespace windows_test;

constexpr int32_t kSide = fixture::kSampleSmallRadarSide;
constexpr int32_t kCells = kSide / 2;

class RadarTest : public WindowDesktop {
protected:
    RadarTest() { installRadarServices(); }
    ~RadarTest() override
    {
        uninstallRadarServices();
        lightLevels() = LightLevels {};
        setGumpArt565(false);
    }

    static RadarGump* open(int32_t kind = gump_kind::kRadarSmall)
    {
        gumpOpenByKind(nullptr, kind, nullptr, false, false);
        return openRadarGump();
    }
};

// ---- The reference: the sample facet read straight from its blocks --------

struct ReferenceCell {
    uint16_t id = 0;
    int32_t z = 0;
};

class FacetReading {
public:
    FacetReading()
        : m_facet(fixture::sampleFacet())
        , m_colours(fixture::sampleRadarColours())
    {
    }

    ReferenceCell cell(int32_t x, int32_t y) const
    {
        auto found = m_facet.terrain.find((x >> 3) * 512 + (y >> 3));
        if (found == m_facet.terrain.end())
            return {};
        const size_t at = 4 + size_t(((y & 7) * 8 + (x & 7)) * 3);
        const auto* bytes = reinterpret_cast<const uint8_t*>(found->second.data());
        return { uint16_t(bytes[at] | (bytes[at + 1] << 8)), int8_t(bytes[at + 2]) };
    }

    // Channels times f / 1000, limited so that none passes 31.
    static uint16_t scaled(uint16_t colour, int32_t f)
    {
        const int32_t r = (colour >> 10) & 31, g = (colour >> 5) & 31, b = colour & 31;
        const int32_t top = std::max({ r, g, b });
        if (top)
            f = std::min(f, 31000 / top);
        return uint16_t(((r * f / 1000) << 10) | ((g * f / 1000) << 5) | (b * f / 1000));
    }

    uint16_t land(int32_t x, int32_t y) const
    {
        const ReferenceCell here = cell(x, y);
        uint16_t colour = m_colours[here.id];
        if (here.id == 2 || colour == 0x7FFF)
            colour = RadarGump::kPaleWhite;
        const bool flat = (here.id >= 168 && here.id <= 171) || here.id == 310 || here.id == 311
            || (here.id >= 500 && here.id <= 503);
        if (flat)
            return colour;
        // A = (x, y), B = (x+1, y+1), C = (x, y+1), D = (x+1, y), threshold 2.
        const int32_t a = cell(x, y).z, b = cell(x + 1, y + 1).z, c = cell(x, y + 1).z, d = cell(x + 1, y).z;
        const int32_t steep = std::min(std::abs(a - b) + std::abs(c - d), 20);
        int32_t slope = 0;
        if (a - b > 2)
            slope = c == d ? 1 : (c - d > 2 ? 2 : 0);
        else if (b - a > 2)
            slope = c == d ? 5 : (c - d > 2 ? 4 : (d - c > 2 ? 6 : 0));
        else
            slope = d - c > 2 ? 7 : (c - d > 2 ? 3 : 0);
        if (slope >= 5)
            return scaled(colour, 1000 + 20 * steep);
        if (slope >= 1)
            return scaled(colour, 1000 - 20 * steep);
        return colour;
    }

    // The picture of W x W cells round (px, py) at light level 0 in 5-5-5.
    std::vector<uint16_t> picture(int32_t px, int32_t py, int32_t cells) const
    {
        const int32_t left = px - cells / 2, top = py - cells / 2;
        std::vector<uint16_t> out(size_t(cells * cells));
        std::vector<int32_t> heights(out.size());
        for (int32_t r = 0; r < cells; ++r) {
            for (int32_t c = 0; c < cells; ++c) {
                out[size_t(r * cells + c)] = uint16_t(land(left + c, top + r) | 0x8000);
                heights[size_t(r * cells + c)] = cell(left + c, top + r).z;
            }
        }
        // The three shapes of a tree's leaves, as rows of five from (-2, -2).
        static constexpr const char* kShapes[3] = {
            "..XX." "XXXXX" ".XXXX" "XXXX." ".XX..",
            ".XX.." ".XXXX" "XXXXX" "XXXX." "..XX.",
            ".X.X." "XXXXX" ".XXX." "XXXXX" ".X.X.",
        };
        for (const auto& [block, records] : m_facet.statics) {
            const int32_t bx = block / 512, by = block % 512;
            if (bx < left / 8 || bx > left / 8 + cells / 8 || by < top / 8 || by > top / 8 + cells / 8)
                continue;
            for (const StaticRecord& record : records) {
                const TileDataItem& tile = tileData().item(record.graphic);
                int32_t c = bx * 8 + record.x - left, r = by * 8 + record.y - top;
                const int32_t topZ = record.z + tile.height + ((tile.flags & kTileRoof) ? 1 : 0)
                    - ((tile.flags & kTileWall) ? 1 : 0);
                const uint16_t colour = m_colours[size_t(0x4000 + record.graphic)];
                if (tile.flags & kTileFoliage) {
                    const char* shape = kShapes[(bx * 8 + record.x + by * 8 + record.y + topZ + record.graphic) % 3];
                    for (int32_t i = 0; i < 25; ++i) {
                        const int32_t dx = i % 5 - 2, dy = i / 5 - 2;
                        const int32_t cc = c + dx, rr = r + dy;
                        if (shape[i] == 'X' && cc >= 0 && rr >= 0 && cc < cells && rr < cells) {
                            heights[size_t(rr * cells + cc)] = 255;
                            out[size_t(rr * cells + cc)] = uint16_t(scaled(colour, 1000 + 200 * (dy - dx)) | 0x8000);
                        }
                    }
                    continue;
                }
                if (tile.flags & kTileRoof)
                    --c, --r;
                if (c < 0 || r < 0 || c >= cells || r >= cells || topZ < heights[size_t(r * cells + c)])
                    continue;
                heights[size_t(r * cells + c)] = topZ;
                const uint16_t shown
                    = tile.height >= 1 && tile.height <= 19 ? scaled(colour, 1000 + 60 * tile.height) : colour;
                out[size_t(r * cells + c)] = uint16_t(shown | 0x8000);
            }
        }
        return out;
    }

private:
    fixture::FacetFiles m_facet;
    std::vector<uint16_t> m_colours;
};

// The frame with the picture laid in: each key-coloured pixel (x, y) shows
// the cell whose diamond covers it, column 0 never.
std::vector<uint16_t> composedReference(const std::vector<uint16_t>& picture, int32_t cells)
{
    const fixture::GumpArtPicture frame = fixture::sampleRadarGumpArt().at(RadarGump::kSmallFace);
    std::vector<uint16_t> out = frame.pixels;
    for (int32_t y = 0; y < frame.height; ++y) {
        for (int32_t x = 0; x < frame.width; ++x) {
            uint16_t& pixel = out[size_t(y * frame.width + x)];
            if (pixel != fixture::kSampleRadarKey)
                continue;
            const int32_t d = x - frame.width / 2 + 1; // column - row
            const int32_t sum = (y - d) % 2 == 0 ? y : y - 1; // row + column
            const int32_t row = (sum - d) / 2, column = (sum + d) / 2;
            if (column >= 1 && column < cells && row >= 0 && row < cells)
                pixel = picture[size_t(row * cells + column)];
        }
    }
    out[size_t((frame.height / 2) * frame.width + frame.width / 2)] = 0x7FFF;
    return out;
}

TEST_F(RadarTest, ThePictureIsTheSampleFacetCellByCellLaidIntoTheFrame)
{
    // A hued coin lying high beside the player.
    addItem(0x40000902, 0x0EED, fixture::kSampleCentreX + 1, fixture::kSampleCentreY + 1, 1, 5)->z = 127;
    RadarGump* radar = open();
    ASSERT_NE(radar, nullptr);
    EXPECT_EQ(radar->face(), RadarGump::kSmallFace);
    ASSERT_EQ(radar->pictureWidth(), kCells);
    ASSERT_EQ(radar->pictureHeight(), kCells);
    const FacetReading facet;
    std::vector<uint16_t> expected = facet.picture(fixture::kSampleCentreX, fixture::kSampleCentreY, kCells);
    // The sample's hues are grey ramps: the coin's red channel (31) picks
    // white, which shows pale.
    expected[size_t((kCells / 2 + 1) * kCells + kCells / 2 + 1)] = RadarGump::kPaleWhite | 0x8000;
    const std::vector<uint16_t>& picture = radar->picture();
    ASSERT_EQ(picture.size(), expected.size());
    int32_t differing = 0;
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i] != expected[i] && differing++ < 5)
            ADD_FAILURE() << "cell " << i % kCells << "," << i / kCells << ": " << picture[i] << " not " << expected[i];
    }
    EXPECT_EQ(differing, 0);
    const std::vector<uint16_t> composed = composedReference(expected, kCells);
    EXPECT_EQ(radar->composite().pixels, composed);
    test::writeSurfacePng(test::picturePath("radar_small.png"), composed.data(), kSide, kSide, kSide);
    // A golden of the same picture, kept as its hash.
    EXPECT_EQ(test::surfaceHash(radar->composite().pixels.data(), kSide, kSide, kSide),
        test::surfaceHash(composed.data(), kSide, kSide, kSide));

    // On the screen: the composite at the window's place.
    radar->moveTo(200, 100, true, nullptr, false);
    composeAll();
    for (int32_t y = 0; y < kSide; y += 7)
        for (int32_t x = 0; x < kSide; x += 5)
            ASSERT_EQ(screenPixel(200 + x, 100 + y) & 0x7FFF, composed[size_t(y * kSide + x)] & 0x7FFF) << x << "," << y;
}

TEST_F(RadarTest, ARebuildHappensOnlyWhenThePlayerTheLightOrTheFacetChanged)
{
    RadarGump* radar = open();
    ASSERT_NE(radar, nullptr);
    const int32_t built = radar->buildCount();
    for (int32_t i = 0; i < 20; ++i) {
        advance(76);
        gumpManagerUpdate();
    }
    EXPECT_EQ(radar->buildCount(), built) << "standing still in the same light builds nothing";

    // Darker: every channel at level 31 keeps a 32nd of itself.
    lightLevels().global = 31;
    advance(500);
    gumpManagerUpdate();
    EXPECT_EQ(radar->buildCount(), built + 1);
    for (uint16_t cell : radar->picture())
        EXPECT_EQ(cell & 0x7FFF, 0) << "all channels below 32 become 0";
    // The personal light takes the dark back; the world's request rebuilds
    // at once.
    lightLevels().personal = 31;
    worldService<RadarView>().rebuildRadar();
    EXPECT_EQ(radar->buildCount(), built + 2);
    const FacetReading facet;
    EXPECT_EQ(radar->picture(), facet.picture(fixture::kSampleCentreX, fixture::kSampleCentreY, kCells));

    world.placePlayer(fixture::kSampleCentreX + 1, fixture::kSampleCentreY, 0);
    advance(500);
    gumpManagerUpdate();
    EXPECT_EQ(radar->picture(), facet.picture(fixture::kSampleCentreX + 1, fixture::kSampleCentreY, kCells));
}

TEST_F(RadarTest, StaticsAreOrderedByTheirTopsEvenAboveAByte)
{
    // A roof raised high: its top (z + 250 + 1) is above 255, so an item
    // lying lower in its cell (a roof shows one cell up and left) stays
    // under it.
    const fixture::FacetFiles facet = fixture::sampleFacet();
    int32_t roofX = -1, roofY = -1, roofZ = 0;
    for (const auto& [block, records] : facet.statics) {
        for (const StaticRecord& record : records) {
            if (record.graphic == fixture::kSampleRoof && roofX < 0) {
                roofX = block / 512 * 8 + record.x - 1;
                roofY = block % 512 * 8 + record.y - 1;
                roofZ = record.z;
            }
        }
    }
    ASSERT_GE(roofX, 0);
    ASSERT_GT(roofZ + 251, 255);
    ASSERT_LT(roofZ + 4, 120);
    setTileRecord(fixture::kSampleRoof, tileRecord(kTileRoof, 0, 0, 250));
    addItem(0x40000901, 0x0EED, roofX, roofY, 1)->z = 100;
    RadarGump* radar = open();
    ASSERT_NE(radar, nullptr);
    const int32_t column = roofX - (fixture::kSampleCentreX - kCells / 2);
    const int32_t row = roofY - (fixture::kSampleCentreY - kCells / 2);
    ASSERT_TRUE(column >= 0 && row >= 0 && column < kCells && row < kCells);
    const uint16_t roof = fixture::sampleRadarColours()[0x4000 + fixture::kSampleRoof];
    EXPECT_EQ(radar->picture()[size_t(row * kCells + column)], roof | 0x8000);

    // Above a roof of its usual height the item shows.
    setTileRecord(fixture::kSampleRoof, tileRecord(kTileRoof, 0, 0, 3));
    findItemBySerial(0x40000901)->z = 120;
    worldService<RadarView>().rebuildRadar();
    const uint16_t gold = fixture::sampleRadarColours()[0x4000 + 0x0EED];
    EXPECT_EQ(radar->picture()[size_t(row * kCells + column)], gold | 0x8000);
}

TEST_F(RadarTest, LandWrapsRoundTheLargeFacetButNothingPastItsWrappingPart)
{
    const uint16_t key = RadarGump::kKeyColour555;
    struct Case {
        int32_t playerX;
        // Cells left of the wrap width: shown (wrapped round) or off the map.
        bool leftShown;
    };
    for (const Case& c : { Case { 5110, true }, Case { 5125, false } }) {
        world.placePlayer(c.playerX, 100, 0);
        RadarGump* radar = open();
        ASSERT_NE(radar, nullptr);
        const int32_t left = c.playerX - kCells / 2;
        for (int32_t column = 0; column < kCells; ++column) {
            const bool pastWrap = left + column >= 5120;
            const bool shown = c.playerX < 5120 || pastWrap;
            for (int32_t row = 0; row < kCells; row += 9)
                EXPECT_EQ(radar->picture()[size_t(row * kCells + column)] == key, !shown)
                    << c.playerX << ": " << column << "," << row;
        }
        closeGump(radar);
    }
}

TEST_F(RadarTest, TheCentreBlinksEveryFifthStepEvenWhenItIsBlack)
{
    // Far from the sample facet every cell is land 0, black; in 5-6-5 the
    // converted black is 0.
    setGumpArt565(true);
    world.placePlayer(400, 400, 0);
    RadarGump* radar = open();
    ASSERT_NE(radar, nullptr);
    const auto centre = [radar] { return radar->composite().pixel(kSide / 2, kSide / 2); };
    EXPECT_EQ(centre(), 0xFFFF) << "a fresh picture starts white";
    std::vector<uint16_t> seen;
    for (int32_t i = 0; i < 15; ++i) {
        radar->blinkPlayer();
        seen.push_back(centre());
    }
    std::vector<uint16_t> expected(15, 0xFFFF);
    for (size_t i : { 4, 5, 6, 7, 8, 14 })
        expected[i] = 0;
    EXPECT_EQ(seen, expected) << "black for five steps, white for five";
    // Every update of the manager steps it once.
    for (int32_t i = 0; i < 5; ++i)
        gumpManagerUpdate();
    EXPECT_EQ(centre(), 0xFFFF);
}

TEST_F(RadarTest, ADoubleClickSwapsTheFacesInPlaceAndTheDesktopKeepsThem)
{
    RadarGump* small = open();
    ASSERT_NE(small, nullptr);
    small->moveTo(150, 90, true, nullptr, false);
    composeAll();
    for (int32_t i = 0; i < 2; ++i) {
        pressLeft(150 + kSide / 2, 90 + 10);
        releaseLeft(150 + kSide / 2, 90 + 10);
    }
    RadarGump* large = openRadarGump();
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->face(), RadarGump::kLargeFace);
    EXPECT_EQ(large->pictureWidth(), fixture::kSampleLargeRadarSide / 2);
    EXPECT_EQ(large->x(), 150);
    EXPECT_EQ(large->y(), 90);

    struct Case {
        int32_t kind;
        int32_t face;
        int32_t x;
        int32_t y;
    };
    // Asked for again, the factory swaps whatever face is open.
    for (const Case& c : { Case { gump_kind::kRadarSmall, RadarGump::kSmallFace, 30, 40 },
             Case { gump_kind::kRadarLarge, RadarGump::kLargeFace, 70, 20 } }) {
        RadarGump* radar = open(c.kind);
        ASSERT_NE(radar, nullptr);
        ASSERT_EQ(radar->face(), c.face);
        radar->moveTo(c.x, c.y, true, nullptr, false);
        const std::vector<uint8_t> bytes = desktopLayoutBytes();
        closeGump(radar);
        ASSERT_EQ(openRadarGump(), nullptr);
        desktopReset();
        ASSERT_TRUE(desktopRead(bytes));
        RadarGump* restored = openRadarGump();
        ASSERT_NE(restored, nullptr);
        EXPECT_EQ(restored->face(), c.face);
        EXPECT_EQ(restored->x(), c.x);
        EXPECT_EQ(restored->y(), c.y);
    }

    // A right click closes it.
    RadarGump* radar = openRadarGump();
    radar->moveTo(0, 0, true, nullptr, false);
    composeAll();
    pressRight(kSide / 2, 10);
    releaseRight(kSide / 2, 10);
    EXPECT_EQ(openRadarGump(), nullptr);
}

TEST_F(RadarTest, ADraggedRadarKeepsAtLeast160PixelsOnTheScreen)
{
    RadarGump* radar = open(gump_kind::kRadarLarge);
    ASSERT_NE(radar, nullptr);
    radar->moveTo(100, 100, true, nullptr, false);
    composeAll();
    pressLeft(100 + 110, 100 + 10);
    pointAt(-500, -500);
    EXPECT_EQ(radar->x() + radar->width(), 160);
    EXPECT_EQ(radar->y() + radar->height(), 160);
    pointAt(2000, 2000);
    EXPECT_EQ(radar->x(), 640 - 160);
    EXPECT_EQ(radar->y(), 480 - 160);
    releaseLeft(2000, 2000);
    EXPECT_EQ(openRadarGump(), radar) << "a drag is no click";
}

TEST(RadarColours, OnlyAWholeFileIsTaken)
{
    const std::string file = fixture::sampleRadarColourFile();
    std::vector<uint8_t> bytes(file.begin(), file.end());
    RadarColours colours {};
    colours[5] = 77;
    for (size_t size : { size_t(0), size_t(1), bytes.size() - 1, bytes.size() / 2 }) {
        EXPECT_FALSE(parseRadarColours(std::span(bytes.data(), size), colours)) << size;
        EXPECT_EQ(colours[5], 77) << "nothing taken from a short file";
    }
    bytes.push_back(0);
    EXPECT_FALSE(parseRadarColours(bytes, colours)) << "nor from a long one";
    bytes.pop_back();
    ASSERT_TRUE(parseRadarColours(bytes, colours));
    EXPECT_EQ(colours[fixture::kSampleGrass], fixture::sampleRadarColours()[fixture::kSampleGrass]);
    EXPECT_EQ(colours[5], 0);
}

TEST_F(RadarTest, AShortColourFileGivesABlackPicture)
{
    // Where the program reads the file from, cut short.
    std::vector<uint8_t> whole;
    fileManager().readWhole(kRadarColourFileName, whole);
    std::string path;
    for (const OpenFileEntry& entry : fileManager().openFiles()) {
        if (entry.name == kRadarColourFileName)
            path = entry.path;
    }
    ASSERT_FALSE(path.empty());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(whole.data()), std::streamsize(whole.size() - 2));
    }
    RadarGump* radar = open();
    ASSERT_NE(radar, nullptr);
    for (uint16_t colour : radar->colours())
        ASSERT_EQ(colour, 0);
    for (uint16_t cell : radar->picture())
        EXPECT_EQ(cell, 0x8000) << "every land and static colour is black";
}

} // namespace
