// Mobiles and corpses drawn from the sample animations: goldens of dressed,
// mounted and sitting figures and a corpse, the plain path against a
// per-pixel reference, the hue rules, bounds, layer orders and picking.
#include "animation_fixture.h"
#include "world_fixture.h"

#include "fixtures/art_writer.h"
#include "gfx/art_image.h"
#include "world/body_animation.h"
#include "world/dying_links.h"
#include "world/mobile_drawing.h"
#include "world/mobile_services.h"

#include <memory>
#include <string>
#include <vector>

namespace test {
namespace {

// A plain human body of solid frames, and a shadowless monster body.
constexpr int32_t kBlockBody = 410;
constexpr int32_t kShadowlessBody = 21;
constexpr int32_t kBlockWidth = 20;
constexpr int32_t kBlockHeight = 40;
// A cover worn in layer 22 that hides the other garments.
constexpr uint16_t kCoverGraphic = 8270;
constexpr int32_t kCoverAnimation = 439;
constexpr uint32_t kFigureSerial = 0x00000400;

std::string drawingMobTypes() { return fixture::sampleMobTypes() + "410 HUMAN 0\n21 MONSTER 0\n"; }

fixture::AnimationFileWriter drawingAnimations()
{
    fixture::AnimationFileWriter animations;
    fixture::addSampleAnimations(animations);
    for (int32_t direction = 0; direction < 5; ++direction) {
        for (int32_t action : { 0, 4 })
            animations.setRecord(fixture::humanRecordNumber(kBlockBody, action, direction),
                blockRecord(10, kBlockWidth, kBlockHeight));
        animations.setRecord(kShadowlessBody * 110 + direction, blockRecord(10, 40, 30));
        for (int32_t action : { 0, 23, 24, 25 })
            animations.setRecord(fixture::humanRecordNumber(kCoverAnimation, action, direction),
                blockRecord(10, 16, 30));
    }
    return animations;
}

class FakeHighlights final : public MobileHighlights {
public:
    bool isTargetCursorUp() override { return targetUp; }
    uint32_t combatantSerial() override { return combatant; }
    bool isMarkedSerial(uint32_t serial) override { return marked != 0 && serial == marked; }
    uint32_t gmCustomerSerial() override { return customer; }

    bool targetUp = false;
    uint32_t combatant = 0;
    uint32_t marked = 0;
    uint32_t customer = 0;
};

class MobileDrawingTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        installed = std::make_unique<InstalledAnimations>(
            drawingAnimations(), drawingMobTypes(), std::map<std::string, std::string> { { "body.def", "" } });
        setSampleFigureTiles();
        TileDataItem cover;
        cover.animationId = uint16_t(kCoverAnimation);
        cover.quality = 22;
        setTileRecord(kCoverGraphic, cover);
    }
    void TearDown() override
    {
        installed.reset();
        WorldTest::TearDown();
    }

    Mobile* figure(int32_t body, uint8_t facing)
    {
        Mobile* mobile = addMobile(kFigureSerial, kCentreX + 2, kCentreY + 2, uint16_t(body));
        if (mobile) {
            mobile->direction = facing;
            mobile->place();
        }
        return mobile;
    }
    void wear(Mobile& mobile, uint16_t graphic, int32_t layer, uint16_t hue = 0)
    {
        ASSERT_TRUE(equipItemOnMobile(mobile.serial, m_nextItem++, graphic, layer, hue));
        mobile.place();
    }
    void dress(Mobile& mobile)
    {
        wear(mobile, fixture::kSampleShirt.graphic, fixture::kSampleShirt.layer, 0x0021);
        wear(mobile, fixture::kSampleTrousers.graphic, fixture::kSampleTrousers.layer);
        wear(mobile, fixture::kSampleHair.graphic, fixture::kSampleHair.layer, 0x0050);
        wear(mobile, fixture::kSampleHat.graphic, fixture::kSampleHat.layer);
    }
    // The mobile drawn with its anchor at (x, y) of the canvas.
    static void drawAt(Mobile& mobile, TestCanvas& canvas, int32_t x, int32_t y)
    {
        showAnchorAt(mobile, x, y);
        mobile.draw(canvas.target(), canvas.whole());
    }
    // Eight pictures side by side, one per facing.
    TestCanvas eightFacings(Mobile& mobile, int32_t anchorRow)
    {
        TestCanvas canvas(8 * 80, 110);
        for (uint8_t facing = 0; facing < 8; ++facing) {
            mobile.direction = facing;
            mobile.place();
            drawAt(mobile, canvas, 40 + 80 * facing, anchorRow);
        }
        return canvas;
    }

    InstalledTestHues hues;
    std::unique_ptr<InstalledAnimations> installed;
    uint32_t m_nextItem = 0x40000500;
};

void expectGolden(const TestCanvas& canvas, const std::string& name, uint64_t golden)
{
    canvas.save(name + ".png");
    EXPECT_EQ(canvas.hash(), golden) << name << ": the picture changed (see pictures/" << name << ".png)";
}

TEST_F(MobileDrawingTest, GoldenDressedFigureInEightFacings)
{
    Mobile* man = figure(fixture::kSampleManBody, 0);
    ASSERT_TRUE(man);
    dress(*man);
    man->frameCounter = 3;
    expectGolden(eightFacings(*man, 90), "dressed_figure", 16098208524020190033ull);
}

TEST_F(MobileDrawingTest, GoldenMountedFigureInEightFacings)
{
    Mobile* man = figure(fixture::kSampleManBody, 0);
    ASSERT_TRUE(man);
    dress(*man);
    wear(*man, fixture::kSampleMountGraphic, Mobile::kMountLayer, 0x0005);
    man->frameCounter = 1;
    expectGolden(eightFacings(*man, 100), "mounted_figure", 3915575270855842271ull);
}

TEST_F(MobileDrawingTest, GoldenCorpses)
{
    TestCanvas canvas(240, 60);
    auto lay = [&](uint32_t serial, int32_t body, uint8_t direction) {
        onObjectPacket(serial, Corpse::kCorpseGraphic, 0, uint16_t(body), kCentreX + 3, kCentreY + 3, 0, direction, 0, 0);
        auto* corpse = static_cast<Corpse*>(findItemBySerial(serial));
        EXPECT_TRUE(corpse && corpse->isCorpse());
        return corpse;
    };
    Corpse* human = lay(0x40000700, fixture::kSampleManBody, 4);
    ASSERT_TRUE(human);
    // The garments the body wore lie in the corpse.
    uint32_t itemSerial = 0x40000710;
    for (const fixture::SampleGarment& garment : fixture::kSampleGarments) {
        ASSERT_TRUE(addItemToContainer(itemSerial, garment.graphic, 0, 1, 0, 0, human->serial, 0x0030));
        human->setLayerSerial(garment.layer, itemSerial++);
    }
    human->place();
    Corpse* horse = lay(0x40000701, fixture::kSampleHorseBody, 0x81);
    ASSERT_TRUE(horse);
    for (auto [corpse, x] : { std::pair { human, 60 }, std::pair { horse, 180 } }) {
        int32_t anchorX = (corpse->x - corpse->y + mapView().mapWidth) * 22 + 1;
        int32_t anchorY = (corpse->x + corpse->y) * 22 - corpse->z * 4 + 20;
        worldScreen().viewPixelX = anchorX - x;
        worldScreen().viewPixelY = anchorY - 45;
        corpse->draw(canvas.target(), canvas.whole());
    }
    expectGolden(canvas, "corpses", 1452932716234876205ull);
}

// The plain path, a hue-less body and its shadow, pixel by pixel.
TEST_F(MobileDrawingTest, PlainFigureMatchesThePerPixelReference)
{
    for (uint8_t facing : { 4, 1 }) {
        Mobile* mobile = figure(kBlockBody, facing);
        ASSERT_TRUE(mobile);
        TestCanvas drawn(80, 80);
        drawAt(*mobile, drawn, 40, 60);
        TestCanvas expected(80, 80);
        bool mirrored = facing == 1;
        int32_t count = kBlockWidth - 2;
        int32_t dx = 1 - kBlockWidth / 2;
        for (int32_t dy = -kBlockHeight; dy < 0; ++dy) {
            // The shadow: even rows at half height, leaning right.
            int32_t first = (mirrored ? 40 - dx - count : 40 + dx) - dy / 2;
            for (int32_t i = 0; i < count && dy % 2 == 0; ++i)
                expected.at(first + i, 60 + dy / 2) = uint16_t((expected.at(first + i, 60 + dy / 2) >> 1) & 0x3DEF);
        }
        for (int32_t dy = -kBlockHeight; dy < 0; ++dy)
            for (int32_t i = 0; i < count; ++i)
                expected.at((mirrored ? 40 - dx - count : 40 + dx) + i, 60 + dy) = 0x0421;
        EXPECT_EQ(drawn.pixels, expected.pixels) << "facing " << int(facing);
        mobile->destroy();
    }
}

struct HueCase {
    const char* name;
    void (*setup)(Mobile& mobile, FakeHighlights& highlights);
    // Expected hue number, 0 for the palette's own colour.
    int32_t hue;
};

void warAndPointer(Mobile& mobile, FakeHighlights&)
{
    player()->warMode = 1;
    worldScreen().objectUnderPointer = &mobile;
}

const HueCase kHueCases[] = {
    { "OwnHue", [](Mobile&, FakeHighlights&) {}, 33 },
    { "UnderThePointerInPeace", [](Mobile& m, FakeHighlights&) { worldScreen().objectUnderPointer = &m; }, 33 },
    { "UnderThePointerInWar", warAndPointer, 946 },
    { "UnderThePointerWhileTargeting",
        [](Mobile& m, FakeHighlights& h) {
            h.targetUp = true;
            worldScreen().objectUnderPointer = &m;
        },
        946 },
    { "Combatant", [](Mobile& m, FakeHighlights& h) { h.combatant = m.serial; }, 946 },
    { "StatusBarUnderThePointer", [](Mobile& m, FakeHighlights&) { player()->highlightedSerial = m.serial; }, 946 },
    { "Hidden", [](Mobile& m, FakeHighlights&) { m.flags |= kObjectHidden; }, 995 },
    { "HiddenCombatant",
        [](Mobile& m, FakeHighlights& h) {
            h.combatant = m.serial;
            m.flags |= kObjectHidden;
        },
        995 },
    { "HiddenButMarked",
        [](Mobile& m, FakeHighlights& h) {
            m.flags |= kObjectHidden;
            h.marked = m.serial;
        },
        8 },
    { "MarkedCustomer",
        [](Mobile& m, FakeHighlights& h) {
            h.marked = m.serial;
            h.customer = m.serial;
        },
        368 },
    { "Customer", [](Mobile& m, FakeHighlights& h) { h.customer = m.serial; }, 53 },
    { "Dead", [](Mobile& m, FakeHighlights&) { m.deadFlag = 1; }, 995 },
    { "DeadButMarked",
        [](Mobile& m, FakeHighlights& h) {
            m.deadFlag = 1;
            h.marked = m.serial;
        },
        8 },
    { "PlayerDead", [](Mobile&, FakeHighlights&) { player()->graphic = 402; }, 995 },
    { "PlayerDeadCustomer",
        [](Mobile& m, FakeHighlights& h) {
            player()->graphic = 402;
            h.customer = m.serial;
        },
        53 },
};

class MobileHueRules : public MobileDrawingTest, public testing::WithParamInterface<HueCase> { };

TEST_P(MobileHueRules, PickTheBodyHue)
{
    Mobile* mobile = figure(kBlockBody, 4);
    ASSERT_TRUE(mobile);
    mobile->baseHue = 33;
    mobile->notoriety = 3;
    FakeHighlights highlights;
    ScopedWorldService<MobileHighlights> guard(highlights);
    GetParam().setup(*mobile, highlights);
    TestCanvas canvas(60, 60);
    drawAt(*mobile, canvas, 30, 55);
    uint16_t expected = GetParam().hue == 0 ? uint16_t(0x0421) : testHueColour(GetParam().hue - 1, 1);
    EXPECT_EQ(canvas.at(30, 30), expected);
}

INSTANTIATE_TEST_SUITE_P(Precedence, MobileHueRules, testing::ValuesIn(kHueCases),
    [](const testing::TestParamInfo<HueCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(MobileDrawingTest, TheBodyTableGivesAnUnhuedBodyItsHue)
{
    installed.reset();
    installed = std::make_unique<InstalledAnimations>(drawingAnimations(), drawingMobTypes(),
        std::map<std::string, std::string> { { "body.def", "410 {410} 77\n" } });
    Mobile* mobile = figure(kBlockBody, 4);
    ASSERT_TRUE(mobile);
    TestCanvas canvas(60, 60);
    drawAt(*mobile, canvas, 30, 55);
    EXPECT_EQ(canvas.at(30, 30), testHueColour(76, 1));
    mobile->baseHue = 5;
    drawAt(*mobile, canvas, 30, 55);
    EXPECT_EQ(canvas.at(30, 30), testHueColour(4, 1));
}

TEST_F(MobileDrawingTest, BoundsOfBodiesShadowsAndEffects)
{
    Mobile* mobile = figure(kBlockBody, 4);
    ASSERT_TRUE(mobile);
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    mobile->anchorPoint(anchorX, anchorY);
    // The frame's rectangle, then the shadow: right by half the height, left by 20.
    int32_t left = anchorX - kBlockWidth / 2 - 1;
    EXPECT_EQ(mobile->screenRect,
        (ScreenRect { left - 20, anchorY - 1 - kBlockHeight, left + kBlockWidth + kBlockHeight / 2, anchorY }));

    mobile->graphic = 1000;
    mobile->place();
    mobile->anchorPoint(anchorX, anchorY);
    EXPECT_EQ(mobile->screenRect, (ScreenRect { anchorX, anchorY, anchorX, anchorY }));
    EXPECT_TRUE(mobile->screenRect.isEmpty());

    // A 60-pixel effect over a 40-pixel body without a shadow.
    struct Effects final : AttachedEffects {
        const ArtImage* effectImage(const Mobile&, int32_t index) override
        {
            return index == 0 ? image.get() : nullptr;
        }
        std::unique_ptr<ArtImage> image
            = ArtImage::parse(fixture::artRecordFromPixels(60, 4, std::vector<uint16_t>(240, 0x7FFF)));
    } effects;
    ScopedWorldService<AttachedEffects> guard(effects);
    mobile->graphic = kShadowlessBody;
    mobile->place();
    mobile->anchorPoint(anchorX, anchorY);
    EXPECT_EQ(mobile->screenRect.left, anchorX - 20 - 1 - 10);
    EXPECT_EQ(mobile->screenRect.width(), 60);
    EXPECT_EQ(mobile->effectGrowX, 10);
    EXPECT_EQ(mobile->effectGrowY, 0) << "the effect is lower than the body";
}

// A low body is cut at its base line; the effects on it are not.
TEST_F(MobileDrawingTest, EffectsOnALowBodyAreNotCutAtItsBaseLine)
{
    struct Effects final : AttachedEffects {
        const ArtImage* effectImage(const Mobile&, int32_t index) override
        {
            return index == 0 ? image.get() : nullptr;
        }
        void drawEffect(const Mobile&, int32_t, const ScreenRect&, const BlitTarget&, const ScreenRect& clip) override
        {
            clips.push_back(clip);
        }
        std::unique_ptr<ArtImage> image
            = ArtImage::parse(fixture::artRecordFromPixels(20, 90, std::vector<uint16_t>(20 * 90, 0x7FFF)));
        std::vector<ScreenRect> clips;
    } effects;
    ScopedWorldService<AttachedEffects> guard(effects);
    Mobile* monster = figure(kShadowlessBody, 4);
    ASSERT_TRUE(monster);
    TestCanvas canvas(120, 200);
    drawAt(*monster, canvas, 60, 100);
    ASSERT_EQ(effects.clips.size(), 1u);
    EXPECT_GT(monster->baseY - worldScreen().viewPixelY, 0) << "the base line lies inside the canvas";
    EXPECT_EQ(effects.clips[0], canvas.whole());
}

TEST_F(MobileDrawingTest, ThePlayerWidensOnlyItsRightSideAndNotWhileHidden)
{
    PlayerMobile* self = player();
    self->graphic = kBlockBody;
    self->direction = 4;
    self->place();
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    self->anchorPoint(anchorX, anchorY);
    int32_t left = anchorX - kBlockWidth / 2 - 1;
    EXPECT_EQ(self->screenRect.left, left);
    EXPECT_EQ(self->screenRect.right, left + kBlockWidth + kBlockHeight / 2);
    setObjectFlags(*self, kObjectHidden);
    self->place();
    EXPECT_EQ(self->screenRect.right, left + kBlockWidth);
}

TEST_F(MobileDrawingTest, AMountOfItem16016LiftsTheRiderOnePixel)
{
    Mobile* man = figure(fixture::kSampleManBody, 4);
    ASSERT_TRUE(man);
    wear(*man, fixture::kSampleMountGraphic, Mobile::kMountLayer);
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    man->anchorPoint(anchorX, anchorY);
    AnimationState state = animationStateOf(*man);
    auto rider = getAnimationFrame(man->graphic, state, man);
    ASSERT_TRUE(rider);
    EXPECT_EQ(state.action, 23) << "a mounted human walks in action 23";
    EXPECT_EQ(man->screenRect.top, anchorY - 1 - rider->centreY - 1 - rider->height);
    MountChoice mount = chooseMount(*man, state.action);
    EXPECT_EQ(mount.body, fixture::kSampleHorseBody);
    EXPECT_EQ(mount.riderLift, 1);
    EXPECT_EQ(mount.action, 0) << "an animal mount walks while its rider does";
    // The rider's pixels are one row higher than the same frame unlifted.
    TestCanvas canvas(100, 100);
    drawAt(*man, canvas, 50, 95);
    EXPECT_TRUE(man->hitTest(anchorX, anchorY - 15)) << "the horse's body";
}

TEST_F(MobileDrawingTest, MountRules)
{
    EXPECT_EQ(mountGraphicToBody(16019), 200);
    EXPECT_EQ(mountGraphicToBody(16021), 169);
    ASSERT_TRUE(findMountRow(16021));
    EXPECT_EQ(findMountRow(16021)->body, 791) << "the drawing's table differs";
    EXPECT_EQ(findMountRow(16045)->riderLift, 4);
    EXPECT_EQ(findMountRow(16019), nullptr);

    Mobile* man = figure(fixture::kSampleManBody, 4);
    ASSERT_TRUE(man);
    wear(*man, fixture::kSampleMountGraphic, Mobile::kMountLayer);
    struct ActionCase {
        int32_t rider;
        int32_t mount;
    };
    for (ActionCase c : { ActionCase { 23, 0 }, { 24, 1 }, { 25, 2 }, { 5, 2 }, { 26, 5 }, { 9, 9 }, { 30, 13 } })
        EXPECT_EQ(chooseMount(*man, c.rider).action, c.mount) << c.rider;
    EXPECT_FALSE(chooseMount(*man, 30).isDrawn());

    // A mount in the table whose body is no animal: the rider's action capped at 13.
    TileDataItem plain;
    setTileRecord(16017, plain);
    ASSERT_TRUE(equipItemOnMobile(man->serial, 0x40000600, 16017, Mobile::kMountLayer, 0));
    EXPECT_EQ(chooseMount(*man, 23).action, 13) << "not drawn";
    EXPECT_FALSE(chooseMount(*man, 23).isDrawn());
    EXPECT_EQ(chooseMount(*man, 7).action, 7);
    // Not in the table: its tile's animation id, no lift, the rider's action.
    TileDataItem unlisted;
    unlisted.animationId = 211;
    setTileRecord(16100, unlisted);
    ASSERT_TRUE(equipItemOnMobile(man->serial, 0x40000601, 16100, Mobile::kMountLayer, 0));
    MountChoice other = chooseMount(*man, 23);
    EXPECT_EQ(other.body, 211);
    EXPECT_EQ(other.riderLift, 0);
    EXPECT_EQ(other.action, 23);
}

TEST_F(MobileDrawingTest, MountBoundsOfAFortyPixelFrame)
{
    fixture::AnimationFileWriter animations;
    fixture::AnimFrameData frame { 10, 0, 40, 20, fixture::frameRunBytes({ { -9, -5, { 1, 1 } } }) };
    for (int32_t action = 0; action < 3; ++action)
        for (int32_t direction = 0; direction < 5; ++direction)
            animations.setRecord(fixture::animalRecordNumber(fixture::kSampleHorseBody, action, direction),
                fixture::animationRecord([](int) { return uint16_t(1); }, { frame }));
    InstalledAnimations withFrame(animations, drawingMobTypes());
    Mobile* man = figure(fixture::kSampleManBody, 4);
    ASSERT_TRUE(man);
    wear(*man, fixture::kSampleMountGraphic, Mobile::kMountLayer);
    ScreenRect rect;
    int32_t lift = 0;
    ASSERT_TRUE(computeMountBounds(*man, 23, 1000, 500, rect, lift));
    EXPECT_EQ(rect, (ScreenRect { 990, 480, 1050, 500 }));
    EXPECT_EQ(lift, 1);
    man->direction = 1;
    ASSERT_TRUE(computeMountBounds(*man, 23, 1000, 500, rect, lift));
    EXPECT_EQ(rect.left, 1000 - 30) << "mirrored";
}

TEST_F(MobileDrawingTest, ACoverInLayer22IsDrawnAlone)
{
    Mobile* man = figure(fixture::kSampleManBody, 4);
    ASSERT_TRUE(man);
    wear(*man, kCoverGraphic, 22, 0x0010);
    TestCanvas coverOnly(80, 80);
    drawAt(*man, coverOnly, 40, 70);
    dress(*man);
    TestCanvas dressed(80, 80);
    drawAt(*man, dressed, 40, 70);
    EXPECT_EQ(dressed.pixels, coverOnly.pixels);
}

TEST_F(MobileDrawingTest, LayerOrders)
{
    const LayerOrder standard { 25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21,
        20 };
    for (int32_t facing : { 0, 6, 7 })
        EXPECT_EQ(equipmentLayerOrder(facing, false), standard) << facing;
    for (int32_t facing : { 1, 2, 4, 5 })
        EXPECT_EQ(equipmentLayerOrder(facing, false),
            (LayerOrder { 25, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 21, 20, 2 }));
    EXPECT_EQ(equipmentLayerOrder(3, false),
        (LayerOrder { 25, 20, 5, 4, 3, 24, 13, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21 }));
    EXPECT_EQ(equipmentLayerOrder(0, true),
        (LayerOrder { 25, 13, 5, 4, 3, 24, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21, 20 }));
    EXPECT_EQ(equipmentLayerOrder(3, true),
        (LayerOrder { 25, 20, 13, 5, 4, 3, 24, 8, 9, 14, 15, 19, 7, 23, 17, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21 }));

    // The alternate order: an item of animation 921-925 in layer 13, with
    // the character list's flag or an edit server.
    Mobile* man = figure(fixture::kSampleManBody, 4);
    ASSERT_TRUE(man);
    TileDataItem cloak;
    cloak.animationId = 922;
    setTileRecord(0x1515, cloak);
    wear(*man, 0x1515, 13);
    EXPECT_FALSE(usesAlternateLayerOrder(man->layerItem(13)));
    struct Rules final : EquipmentRules {
        bool allowsAlternateLayerOrder() override { return true; }
    } rules;
    ScopedWorldService<EquipmentRules> guard(rules);
    EXPECT_TRUE(usesAlternateLayerOrder(man->layerItem(13)));
    EXPECT_FALSE(usesAlternateLayerOrder(nullptr));
}

TEST_F(MobileDrawingTest, HiddenLayersAreLeftOut)
{
    Mobile* man = figure(fixture::kSampleManBody, 4);
    ASSERT_TRUE(man);
    wear(*man, fixture::kSampleTrousers.graphic, fixture::kSampleTrousers.layer);
    TestCanvas bare(80, 80);
    TestCanvas withHat(80, 80);
    drawAt(*man, bare, 40, 70);
    wear(*man, fixture::kSampleHat.graphic, fixture::kSampleHat.layer);
    struct Rules final : EquipmentRules {
        bool isEquipmentLayerHidden(int32_t layer, const Mobile&) override { return layer == 6; }
    } rules;
    ScopedWorldService<EquipmentRules> guard(rules);
    drawAt(*man, withHat, 40, 70);
    EXPECT_EQ(withHat.pixels, bare.pixels) << "the covered hat is not drawn";
}

TEST_F(MobileDrawingTest, PickingFollowsThePixels)
{
    Mobile* man = figure(kBlockBody, 4);
    ASSERT_TRUE(man);
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    man->anchorPoint(anchorX, anchorY);
    EXPECT_TRUE(man->hitTest(anchorX, anchorY - 1));
    EXPECT_TRUE(man->hitTest(anchorX - kBlockWidth / 2 + 1, anchorY - kBlockHeight));
    EXPECT_FALSE(man->hitTest(anchorX, anchorY)) << "below the feet";
    EXPECT_FALSE(man->hitTest(anchorX + kBlockWidth, anchorY - 5));
    EXPECT_FALSE(man->hitTest(anchorX, anchorY - kBlockHeight - 1));
    man->graphic = 1000;
    EXPECT_FALSE(man->hitTest(anchorX, anchorY - 1));
}

TEST_F(MobileDrawingTest, CorpsesWaitForTheDeathActionAndGreyForADeadPlayer)
{
    Mobile* dying = figure(kBlockBody, 4);
    ASSERT_TRUE(dying);
    onObjectPacket(0x40000800, Corpse::kCorpseGraphic, 0, uint16_t(fixture::kSampleManBody), kCentreX + 3,
        kCentreY + 3, 0, 4, 0, 0);
    auto* corpse = static_cast<Corpse*>(findItemBySerial(0x40000800));
    ASSERT_TRUE(corpse && corpse->isCorpse());
    ASSERT_TRUE(dying->die(corpse->serial, true));
    int32_t anchorX = (corpse->x - corpse->y + mapView().mapWidth) * 22 + 1;
    int32_t anchorY = (corpse->x + corpse->y) * 22 + 20;
    worldScreen().viewPixelX = anchorX - 40;
    worldScreen().viewPixelY = anchorY - 40;
    TestCanvas hidden(80, 50);
    corpse->draw(hidden.target(), hidden.whole());
    EXPECT_EQ(hidden.pixels, TestCanvas(80, 50).pixels) << "not while its mobile is dying";
    removeDyingLinks(corpse->serial, 0, true);
    TestCanvas lying(80, 50);
    corpse->draw(lying.target(), lying.whole());
    EXPECT_NE(lying.pixels, hidden.pixels);
    EXPECT_TRUE(corpse->hitTest(anchorX - 30, anchorY - 12)) << "the body lying toward the left";
    EXPECT_FALSE(corpse->hitTest(anchorX, anchorY + 5));
    player()->graphic = 402;
    TestCanvas grey(80, 50);
    corpse->draw(grey.target(), grey.whole());
    // Every pixel of the body comes from the ramp of hue 995.
    int32_t changed = 0;
    for (size_t i = 0; i < grey.pixels.size(); ++i) {
        if (grey.pixels[i] == hidden.pixels[i])
            continue;
        ++changed;
        EXPECT_EQ(grey.pixels[i] & 0x7C1F, testHueColour(994, 0) & 0x7C1F) << "pixel " << i;
    }
    EXPECT_GT(changed, 100);
}

TEST_F(MobileDrawingTest, FootstepsFollowTheMovementFrame)
{
    struct Sounds final : WorldSounds {
        void playSoundAt(int32_t id, int32_t, int32_t, int32_t, float, bool, int32_t, bool) override
        {
            played.push_back(id);
        }
        std::vector<int32_t> played;
    } sounds;
    Mobile* man = figure(fixture::kSampleManBody, 4);
    ASSERT_TRUE(man);
    ScopedWorldService<WorldSounds> guard(sounds);
    int32_t action = -1;
    int32_t frame = -1;
    // Walking: frame 1 and frame 6 of the cycle step.
    for (int32_t counter : { 1, 6, 7, 10 }) {
        man->frameCounter = counter;
        ASSERT_TRUE(movementActionFrame(*man, action, frame));
        EXPECT_EQ(action, 0);
        EXPECT_EQ(frame, counter % 9);
        man->place();
    }
    EXPECT_EQ(sounds.played, (std::vector<int32_t> { 299, 300, 299 }));
    // Riding at a run: frames 1 and 3 of four.
    wear(*man, fixture::kSampleMountGraphic, Mobile::kMountLayer);
    man->running = 1;
    sounds.played.clear();
    for (int32_t counter : { 1, 2, 3 }) {
        man->frameCounter = counter;
        man->place();
    }
    ASSERT_TRUE(movementActionFrame(*man, action, frame));
    EXPECT_EQ(action, 24);
    EXPECT_EQ(frame, 3);
    EXPECT_EQ(sounds.played, (std::vector<int32_t> { 297, 298 }));
    EXPECT_EQ(dataFiles().animationFileSet(), 0) << "no set is left over from the choice";
}

} // namespace
} // namespace test
