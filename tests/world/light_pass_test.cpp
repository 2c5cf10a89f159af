// The light files' reader with its bad-input table, and the light pass
// checked pixel by pixel against a plain reference that lights the whole
// rectangle at once (no blocks), over test surfaces and over the sample
// world at night.
#include "world_fixture.h"

#include "fixtures/byte_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/facet_writer.h"
#include "fixtures/light_writer.h"
#include "fixtures/sample_world.h"
#include "gfx/colour_tables.h"
#include "support/png_writer.h"
#include "world/light_files.h"
#include "world/light_pass.h"

#include <random>

namespace test {
namespace {

using fixture::LightShapeData;

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return { reinterpret_cast<const uint8_t*>(text.data()), text.size() };
}

LightShapeData squareShape(int32_t id, int32_t width, int32_t height, int8_t strength)
{
    return { id, width, height, std::vector<int8_t>(size_t(width * height), strength) };
}

struct BadLightFile {
    const char* name;
    std::function<void(fixture::LightFileBytes&)> damage;
    // Shapes 0..3 readable afterwards.
    std::array<bool, 4> readable;
};

class LightFileInput : public testing::TestWithParam<BadLightFile> { };

TEST_P(LightFileInput, RefusesDamagedEntriesAndKeepsTheRest)
{
    fixture::LightFileBytes files = fixture::lightFileBytes(
        { squareShape(0, 4, 4, 10), squareShape(1, 2, 3, 20), squareShape(2, 3, 2, 5), squareShape(3, 1, 1, 31) });
    GetParam().damage(files);
    LightFiles reader;
    bool any = GetParam().readable[0] || GetParam().readable[1] || GetParam().readable[2] || GetParam().readable[3];
    EXPECT_EQ(reader.load(bytesOf(files.index), bytesOf(files.data)), any);
    for (int32_t id = 0; id < 4; ++id)
        EXPECT_EQ(reader.shape(id) != nullptr, GetParam().readable[size_t(id)]) << "shape " << id;
    EXPECT_EQ(reader.shape(4), nullptr) << "absent";
    EXPECT_EQ(reader.shape(100), nullptr) << "ids stop at 99";
    EXPECT_EQ(reader.shape(-1), nullptr);
}

void setEntry(std::string& index, int32_t id, uint32_t offset, uint32_t length, uint16_t width, uint16_t height)
{
    std::string entry = fixture::le32(offset) + fixture::le32(length) + fixture::le16(width) + fixture::le16(height);
    index.replace(size_t(id) * 12, 12, entry);
}

INSTANTIATE_TEST_SUITE_P(Entries, LightFileInput,
    testing::Values(BadLightFile { "Intact", [](fixture::LightFileBytes&) { }, { true, true, true, true } },
        BadLightFile { "IndexCutInsideTheSecondEntry", [](fixture::LightFileBytes& f) { f.index.resize(20); },
            { true, false, false, false } },
        BadLightFile { "DataCutShort",
            [](fixture::LightFileBytes& f) { f.data.resize(16 + 6 + 3); }, { true, true, false, false } },
        BadLightFile { "OffsetPastTheData",
            [](fixture::LightFileBytes& f) { setEntry(f.index, 1, 0x7FFFFFF0, 6, 2, 3); },
            { true, false, true, true } },
        BadLightFile { "OffsetThatWrapsAround",
            [](fixture::LightFileBytes& f) { setEntry(f.index, 1, 0xFFFFFFF0, 64, 8, 8); },
            { true, false, true, true } },
        BadLightFile { "ExtentLargerThanItsLength",
            [](fixture::LightFileBytes& f) { setEntry(f.index, 0, 0, 16, 5, 5); }, { false, true, true, true } },
        BadLightFile { "HugeExtent",
            [](fixture::LightFileBytes& f) { setEntry(f.index, 2, 0, 0xFFFFFFFF, 0xFFFF, 0xFFFF); },
            { true, true, false, true } },
        BadLightFile { "ZeroWidth", [](fixture::LightFileBytes& f) { setEntry(f.index, 3, 0, 1, 0, 1); },
            { true, true, true, false } },
        BadLightFile { "EmptyData", [](fixture::LightFileBytes& f) { f.data.clear(); },
            { false, false, false, false } },
        BadLightFile { "EmptyIndex", [](fixture::LightFileBytes& f) { f.index.clear(); },
            { false, false, false, false } }),
    [](const testing::TestParamInfo<BadLightFile>& row) { return std::string(row.param.name); });

TEST(LightFiles, StrengthsAreKeptWithinTheCurves)
{
    LightShapeData shape { 7, 4, 1, { -5, 0, 31, 100 } };
    fixture::LightFileBytes files = fixture::lightFileBytes({ shape });
    LightFiles reader;
    ASSERT_TRUE(reader.load(bytesOf(files.index), bytesOf(files.data)));
    ASSERT_NE(reader.shape(7), nullptr);
    EXPECT_EQ(reader.shape(7)->strengths, (std::vector<uint8_t> { 0, 0, 31, 31 }));
}

TEST(LightFiles, AFailedLoadKeepsWhatWasRead)
{
    fixture::LightFileBytes files = fixture::lightFileBytes({ squareShape(5, 2, 2, 9) });
    LightFiles reader;
    ASSERT_TRUE(reader.load(bytesOf(files.index), bytesOf(files.data)));
    EXPECT_FALSE(reader.load({}, {}));
    EXPECT_NE(reader.shape(5), nullptr);
}

TEST(LightFiles, AreOpenedFromTheClientDirectory)
{
    fixture::ClientDirectory client;
    fixture::LightFileBytes files = fixture::lightFileBytes({ squareShape(0, 4, 4, 12) });
    EXPECT_FALSE(openLightFiles()) << "no files yet";
    client.write("lightidx.mul", files.index);
    client.write("light.mul", files.data);
    ASSERT_TRUE(openLightFiles());
    ASSERT_NE(lightFiles().shape(0), nullptr);
    EXPECT_EQ(lightFiles().shape(0)->width, 4);
    EXPECT_EQ(lightFiles().shapeCount(), 1);
    closeLightFiles();
    EXPECT_EQ(lightFiles().shape(0), nullptr);
}

// A light as the reference applies it: a shape at a game-area rectangle and
// the darkness each channel loses per strength.
struct ReferenceLight {
    const LightShape* shape;
    ScreenRect rect;
    const LightOperator* op;
};

// Lights every pixel of `area` in one go: ambient darkness less every light
// covering the pixel (never below 0), then each channel scaled by its
// darkness; no darkness leaves the pixel as it is.
void referenceLightPass(std::vector<uint16_t>& pixels, int32_t width, const ScreenRect& area, int32_t ambient,
    const std::vector<ReferenceLight>& lights, bool coloured)
{
    const auto& shade = colourTables().shade;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            int32_t dark[3] = { ambient, ambient, ambient };
            for (const ReferenceLight& light : lights) {
                const ScreenRect& r = light.rect;
                if (x < r.left || x >= r.right || y < r.top || y >= r.bottom)
                    continue;
                uint8_t v = light.shape->strengths[size_t(y - r.top) * size_t(light.shape->width) + size_t(x - r.left)];
                dark[0] = std::max(dark[0] - light.op->red[v], 0);
                dark[1] = std::max(dark[1] - (coloured ? light.op->green[v] : light.op->red[v]), 0);
                dark[2] = std::max(dark[2] - (coloured ? light.op->blue[v] : light.op->red[v]), 0);
            }
            uint16_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
            if (dark[0] == 0 && dark[1] == 0 && dark[2] == 0)
                continue;
            p = uint16_t(
                (shade[dark[0]][(p >> 10) & 31] << 10) | (shade[dark[1]][(p >> 5) & 31] << 5) | shade[dark[2]][p & 31]);
        }
    }
}

std::vector<uint16_t> noise(int32_t count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint16_t> pixels(static_cast<size_t>(count));
    for (uint16_t& p : pixels)
        p = uint16_t(random() & 0x7FFF);
    return pixels;
}

class LightPass : public WorldTest {
protected:
    static constexpr int32_t kWidth = 200;
    static constexpr int32_t kHeight = 150;

    void SetUp() override
    {
        WorldTest::SetUp();
        fixture::LightFileBytes files = fixture::lightFileBytes(
            { fixture::roundLight(1, 41, 31), squareShape(2, 30, 30, 20), fixture::roundLight(3, 90, 28) });
        ASSERT_TRUE(lightFiles().load(bytesOf(files.index), bytesOf(files.data)));
        setItemTile(3629, kTileLightSource, 5, 5, "lamp");
        setItemTile(8148, kTileLightSource, 5, 5, "candle");
        lightLevels() = LightLevels {};
        lightPassSettings() = LightPassSettings {};
    }

    void TearDown() override
    {
        lightFiles().clear();
        lightLevels() = LightLevels {};
        lightPassSettings() = LightPassSettings {};
        WorldTest::TearDown();
    }

    // A light source item at (x, y, z) of shape `lightId`, its anchor put at
    // game-area point (anchorX, anchorY) by moving the view.
    Item* lightAt(uint32_t serial, uint16_t graphic, int32_t x, int32_t y, int32_t z, uint8_t lightId)
    {
        onObjectPacket(serial, graphic, 0, 1, x, y, int8_t(z), lightId, 0, 0);
        return findItemBySerial(serial);
    }

    void viewSoThat(const WorldObject& object, int32_t anchorX, int32_t anchorY)
    {
        worldScreen().viewPixelX = object.columnKey * 22 - anchorX;
        worldScreen().viewPixelY = object.rowKey * 22 - 4 * object.z + 43 - anchorY;
    }

    static ReferenceLight reference(const StaticObject& source, int32_t lightId, int32_t code)
    {
        const LightShape* shape = lightFiles().shape(lightId);
        int32_t x = source.columnKey * 22 - worldScreen().viewPixelX;
        int32_t y = source.rowKey * 22 - 4 * source.z + 43 - worldScreen().viewPixelY;
        int32_t left = x - shape->width / 2;
        int32_t top = y - shape->height / 2 - 22;
        return { shape, { left, top, left + shape->width, top + shape->height }, &lightOperator(code) };
    }

    std::vector<uint16_t> lit(std::vector<uint16_t> pixels, bool coloured, const ScreenRect& rect)
    {
        BlitTarget target = BlitTarget::surface(pixels.data(), kWidth, kHeight, kWidth);
        if (coloured)
            applyLightPassColoured(target, rect, false);
        else
            applyLightPassPlain(target, rect, false);
        return pixels;
    }
};

TEST_F(LightPass, NoDarknessAndNoLightLeaveEveryPixel)
{
    std::vector<uint16_t> pixels = noise(kWidth * kHeight, 1);
    EXPECT_EQ(lit(pixels, true, { 0, 0, kWidth, kHeight }), pixels);
    EXPECT_EQ(lit(pixels, false, { 0, 0, kWidth, kHeight }), pixels);
}

TEST_F(LightPass, AGhostSeesEverythingUndarkened)
{
    lightLevels().global = 25;
    player()->graphic = 402;
    std::vector<uint16_t> pixels = noise(kWidth * kHeight, 2);
    EXPECT_EQ(lit(pixels, true, { 0, 0, kWidth, kHeight }), pixels);
    player()->graphic = kHumanBody;
    EXPECT_NE(lit(pixels, true, { 0, 0, kWidth, kHeight }), pixels);
}

TEST_F(LightPass, AmbientDarknessOfEachPassAndDarkNights)
{
    EXPECT_EQ(ambientDarknessColoured(20, 5, false), 15);
    EXPECT_EQ(ambientDarknessColoured(20, 5, true), 30);
    EXPECT_EQ(ambientDarknessColoured(12, 0, true), 30);
    EXPECT_EQ(ambientDarknessColoured(11, 0, true), 11);
    EXPECT_EQ(ambientDarknessColoured(3, 9, false), 0);
    EXPECT_EQ(ambientDarknessColoured(60, 0, false), 31);
    EXPECT_EQ(ambientDarknessPlain(20, 5, true), 24);
    EXPECT_EQ(ambientDarknessPlain(12, 0, true), 12) << "the plain pass wants the level above 12";
    EXPECT_EQ(ambientDarknessPlain(13, 8, true), 5) << "5 x 2 is not above 16";
    EXPECT_EQ(ambientDarknessPlain(14, 8, true), 24) << "6 x 3 is";
}

TEST_F(LightPass, ALightStraddlingBlocksMatchesTheWholeRectangleReference)
{
    lightLevels().global = 18;
    // Anchors on the 64 x 48 block borders, and one across the rectangle's edge.
    Item* round = lightAt(0x40000201, kLampGraphic, kCentreX + 2, kCentreY, 0, 1);
    Item* square = lightAt(0x40000202, kLampGraphic, kCentreX + 4, kCentreY + 1, 0, 2);
    Item* edge = lightAt(0x40000203, 3629, kCentreX + 1, kCentreY + 3, 0, 3);
    ASSERT_TRUE(round && square && edge);
    viewSoThat(*round, 64, 48 + 22);
    const ScreenRect area { 5, 7, kWidth - 3, kHeight - 2 };
    for (bool coloured : { true, false }) {
        std::vector<uint16_t> pixels = noise(kWidth * kHeight, 3);
        std::vector<uint16_t> drawn = lit(pixels, coloured, area);
        std::vector<ReferenceLight> lights;
        for (const Item* source : { edge, square, round }) {
            int32_t code = coloured ? lightOperatorCode(source->graphic) : 666;
            lights.push_back(reference(*source, source->direction, code));
        }
        int32_t ambient = coloured ? ambientDarknessColoured(18, 0, false) : ambientDarknessPlain(18, 0, false);
        referenceLightPass(pixels, kWidth, area, ambient, lights, coloured);
        ASSERT_EQ(drawn, pixels) << (coloured ? "coloured" : "plain");
    }
}

TEST_F(LightPass, TheOperatorIsChosenByTheSourcesGraphic)
{
    EXPECT_EQ(lightOperatorCode(1), 666);
    EXPECT_EQ(lightOperatorCode(3629), 62);
    EXPECT_EQ(lightOperatorCode(8148), 2);
    EXPECT_EQ(lightOperatorCode(2560), 30);
    EXPECT_EQ(lightOperatorCode(2590), 666);
    EXPECT_EQ(lightOperatorCode(14700), 6);
    EXPECT_EQ(lightOperatorCode(15880), 1);
    // A lamp of 3629 uses the B curve on all three channels; 8148 halves red
    // and green.
    const LightOperator& lamp = lightOperator(62);
    EXPECT_EQ(lamp.red[31], 27);
    EXPECT_EQ(lamp.green[20], 9);
    EXPECT_EQ(lamp.blue[9], 1);
    const LightOperator& candle = lightOperator(2);
    EXPECT_EQ(candle.red[31], 15);
    EXPECT_EQ(candle.green[7], 3);
    EXPECT_EQ(candle.blue[31], 31);
    EXPECT_EQ(lightOperator(30).green[6], 5) << "half of curve A (11)";
}

TEST_F(LightPass, ASourceBehindAWallOnTheCellInFrontCastsNoLight)
{
    lightLevels().global = 20;
    Item* lamp = lightAt(0x40000204, kLampGraphic, kCentreX + 2, kCentreY + 2, 0, 2);
    ASSERT_NE(lamp, nullptr);
    viewSoThat(*lamp, 100, 75 + 22);
    std::vector<uint16_t> pixels = noise(kWidth * kHeight, 4);
    std::vector<uint16_t> open = lit(pixels, true, { 0, 0, kWidth, kHeight });
    StaticObject* wall = allocStatic(kWallGraphic);
    wall->enterWorldAt(kCentreX + 3, kCentreY + 3, 0);
    std::vector<uint16_t> walled = lit(pixels, true, { 0, 0, kWidth, kHeight });
    std::vector<uint16_t> dark = pixels;
    referenceLightPass(dark, kWidth, { 0, 0, kWidth, kHeight }, 20, {}, true);
    EXPECT_NE(open, dark);
    EXPECT_EQ(walled, dark) << "the wall rises more than 4 above the lamp";
    wall->moveTo(kCentreX + 3, kCentreY + 3, -18);
    EXPECT_EQ(lit(pixels, true, { 0, 0, kWidth, kHeight }), open) << "a wall whose top is at 2 hides nothing";
    wall->destroy();
}

TEST_F(LightPass, WithA565BufferEveryPixelIsTurnedAndOneDarknessServesAll)
{
    std::vector<uint16_t> pixels { 0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x1234 };
    std::vector<uint16_t> turned = pixels;
    BlitTarget target = BlitTarget::surface(turned.data(), 5, 1, 5);
    applyLightPassColoured(target, { 0, 0, 5, 1 }, true);
    EXPECT_EQ(turned, (std::vector<uint16_t> { 0xFFDF, 0x001F, 0x07C0, 0xF800, 0x2454 }))
        << "no darkness: 5-5-5 turned into 5-6-5";
}

TEST_F(LightPass, TheLightRectangleIsWhatTheShapeCovers)
{
    Item* lamp = lightAt(0x40000205, kLampGraphic, kCentreX, kCentreY, 5, 1);
    ASSERT_NE(lamp, nullptr);
    ScreenRect rect = lightRectOf(*lamp);
    int32_t x = lamp->columnKey * 22;
    int32_t y = lamp->rowKey * 22 - 20 + 43;
    EXPECT_EQ(rect.left, x - 20);
    EXPECT_EQ(rect.top, y - 20 - 22);
    EXPECT_EQ(rect.width(), 41);
    EXPECT_EQ(rect.height(), 41);
    lamp->direction = 150;
    EXPECT_TRUE(lightRectOf(*lamp).isEmpty()) << "ids of 100 and above give no light";
}

TEST(LitNight, TheSampleWorldKeepsItsPictureAndMatchesTheReference)
{
    fixture::SampleWorld world;
    fixture::LightFileBytes files
        = fixture::lightFileBytes({ fixture::roundLight(0, 121, 31), fixture::roundLight(4, 81, 26) });
    ASSERT_TRUE(lightFiles().load(bytesOf(files.index), bytesOf(files.data)));
    for (int32_t graphic : { 3629, 8148, 2560 }) {
        int32_t group = TileData::kFirstItemGroup + graphic / 32;
        TileDataItemGroup data;
        for (int32_t i = 0; i < 32; ++i)
            data.records[size_t(i)] = tileData().item(graphic / 32 * 32 + i);
        data.records[size_t(graphic % 32)].flags = kTileLightSource;
        ItemGroupChange change;
        tileData().applyItemGroup(group, data, change);
    }
    constexpr int32_t kWidth = 320;
    constexpr int32_t kHeight = 240;
    onObjectPacket(0x40000301, 3629, 0, 1, fixture::kSampleCentreX - 2, fixture::kSampleCentreY + 1, 0, 0, 0, 0);
    onObjectPacket(0x40000302, 8148, 0, 1, fixture::kSampleCentreX + 3, fixture::kSampleCentreY + 2, 0, 4, 0, 0);
    onObjectPacket(0x40000303, 2560, 0, 1, fixture::kSampleCentreX - 1, fixture::kSampleCentreY - 4, 0, 4, 0, 0);
    std::vector<uint16_t> day = world.drawFrame(kWidth, kHeight);
    lightLevels().global = 22;
    std::vector<uint16_t> night = world.drawFrame(kWidth, kHeight);
    test::writeSurfacePng(test::picturePath("world_scene_lit_night.png"), night.data(), kWidth, kHeight, kWidth);

    std::vector<ReferenceLight> lights;
    for (uint32_t serial : { 0x40000303u, 0x40000302u, 0x40000301u }) {
        const Item* source = findItemBySerial(serial);
        ASSERT_NE(source, nullptr);
        const LightShape* shape = lightFiles().shape(source->direction);
        int32_t x = source->columnKey * 22 - worldScreen().viewPixelX;
        int32_t y = source->rowKey * 22 - 4 * source->z + 43 - worldScreen().viewPixelY;
        int32_t left = x - shape->width / 2;
        int32_t top = y - shape->height / 2 - 22;
        lights.push_back({ shape, { left, top, left + shape->width, top + shape->height },
            &lightOperator(lightOperatorCode(source->graphic)) });
    }
    referenceLightPass(day, kWidth, { 0, 0, kWidth, kHeight }, 22, lights, true);
    EXPECT_EQ(night, day) << "the night is the day's picture through the reference light";
    EXPECT_EQ(test::surfaceHash(night.data(), kWidth, kHeight, kWidth), 0xd695c2f9b590d50cull)
        << "picture changed; see " << test::picturePath("world_scene_lit_night.png");
    lightLevels() = LightLevels {};
    lightFiles().clear();
}

} // namespace
} // namespace test
