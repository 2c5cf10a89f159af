// Graphical effects as missile gumps, tick by tick on a fake clock through the
// gump manager's update: flights to places and at mobiles, arrivals and
// explosions, image cycling, effects riding on mobiles, the factories and the
// recorded sequences they feed.
#include "gump_test_support.h"

#include "fixtures/animation_writer.h"
#include "fixtures/hue_writer.h"
#include "fixtures/sample_figures.h"

#include "gump/missile_gump.h"
#include "world/anim_data.h"
#include "world/body_tables.h"
#include "world/cell_grid.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/recorded_sequence.h"
#include "world/tile_data.h"
#include "world/world_screen.h"
#include "world/world_services.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <numbers>

namespace {

constexpr int32_t kCentreX = 1000;
constexpr int32_t kCentreY = 1000;
constexpr uint32_t kPlayerSerial = 0x00000AA1;
constexpr uint32_t kTargetSerial = 0x00000061;
constexpr uint32_t kRiderSerial = 0x00000062;
constexpr int32_t kTickMs = 33;
constexpr uint16_t kRangeArt = 100;

void setItemQuality(int32_t id, uint8_t quality)
{
    TileDataItemGroup group;
    for (int32_t i = 0; i < 32; ++i)
        group.records[size_t(i)] = tileData().item(id / 32 * 32 + i);
    group.records[size_t(id % 32)].quality = quality;
    ItemGroupChange change;
    tileData().applyItemGroup(TileData::kFirstItemGroup + id / 32, group, change);
}

std::vector<MissileGump*> missiles()
{
    std::vector<MissileGump*> found;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (gump->is(GumpKind::Missile))
            found.push_back(static_cast<MissileGump*>(gump));
    }
    return found;
}

class Effects : public gump_test::Desktop {
protected:
    void SetUp() override
    {
        for (int32_t id = 20000; id <= 20009; ++id)
            art.add(id, fixture::solidPicture(6, 30, uint16_t(0x7C00 | id % 10)));
        // Mobiles have pictures (homing flights aim at their centres): the
        // sample figures' animations in the same client directory.
        fixture::AnimationFileWriter animations;
        fixture::addSampleAnimations(animations);
        animations.write(client.path());
        art.install();
        bodyTypes() = BodyTypeTable();
        bodyTypes().load(fixture::sampleMobTypes());
        initWorldObjects();
        worldCellGrid().clear();
        if (worldCellGrid().drawOrder().empty())
            worldCellGrid().buildDrawOrder();
        mapView() = MapView {};
        mapView().centreX = kCentreX;
        mapView().centreY = kCentreY;
        worldScreen() = WorldScreen {};
        worldScreen().viewPixelX = (kCentreX - kCentreY + mapView().mapWidth) * 22 - 320;
        worldScreen().viewPixelY = (kCentreX + kCentreY) * 22 - 240;
        createPlayerObject();
        player()->serial = kPlayerSerial;
        player()->graphic = 400;
        setPlayerSerial(kPlayerSerial);
        player()->enterWorldAt(kCentreX, kCentreY, 0);
        setItemQuality(kRangeArt, 4);
        std::srand(7);
    }

    void TearDown() override
    {
        missileGumpsCloseAll();
        deleteAllRecordedSequences();
        worldCellGrid().clearAll();
        initWorldObjects();
        setPlayerSerial(0);
        setItemQuality(kRangeArt, 0);
        bodyTypes() = BodyTypeTable();
        EXPECT_EQ(LiveObject<WorldObjectTree>::registry().size(), 0u) << "world objects outlived the test";
    }

    Mobile* mobileAt(uint32_t serial, int32_t x, int32_t y, int32_t z = 0)
    {
        onObjectPacket(serial, 400, 0, 1, x, y, int8_t(z), 0, 0, 0);
        Item* item = findItemBySerial(serial);
        return item && item->isMobile() ? static_cast<Mobile*>(item) : nullptr;
    }

    // One update of the gump manager, 33 ms later.
    void tick()
    {
        clock.advance(kTickMs);
        gumpManagerUpdate();
    }

    static std::string describe(const MissileGump& gump)
    {
        char line[160];
        const MissileWorldObject* object = gump.worldObject();
        std::snprintf(line, sizeof line, "at %d,%d art %d left %d world %.2f,%.2f,%.2f", gump.x(), gump.y(),
            gump.currentArt(), gump.ticksLeft(), object ? object->worldX : 0.0, object ? object->worldY : 0.0,
            object ? object->worldZ : 0.0);
        return line;
    }

    MissileEffects effects;
    ScopedWorldService<EffectBuilder> effectsGuard { effects };
};

TEST_F(Effects, ALocationFlightOf100PixelsTakesTenStepsAndEndsOnTheEleventhTick)
{
    // Straight down the screen: 25 height units are 100 pixels.
    createEffectEx(0, nullptr, nullptr, kRangeArt, packXY(kCentreX, kCentreY), 25, packXY(kCentreX, kCentreY), 0, 0,
        0, 0, 0, 1, 0);
    ASSERT_EQ(missiles().size(), 1u);
    MissileGump& effect = *missiles()[0];
    EXPECT_EQ(effect.angle(), 0) << "a fixed direction never turns";
    EXPECT_DOUBLE_EQ(effect.stepX(), 0);
    EXPECT_DOUBLE_EQ(effect.stepY(), 10);
    std::vector<std::string> trace { describe(effect) };
    for (int32_t i = 0; i < 10; ++i) {
        tick();
        ASSERT_EQ(missiles().size(), 1u) << "tick " << i + 1;
        trace.push_back(describe(*missiles()[0]));
    }
    tick();
    EXPECT_TRUE(missiles().empty()) << "deleted on its eleventh tick";
    EXPECT_EQ(trace, (std::vector<std::string> {
                         "at 320,183 art 100 left 11 world 1000.00,1000.00,25.00",
                         "at 320,193 art 100 left 10 world 1000.00,1000.00,22.50",
                         "at 320,203 art 100 left 9 world 1000.00,1000.00,20.00",
                         "at 320,213 art 100 left 8 world 1000.00,1000.00,17.50",
                         "at 320,223 art 100 left 7 world 1000.00,1000.00,15.00",
                         "at 320,233 art 100 left 6 world 1000.00,1000.00,12.50",
                         "at 320,243 art 100 left 5 world 1000.00,1000.00,10.00",
                         "at 320,253 art 100 left 4 world 1000.00,1000.00,7.50",
                         "at 320,263 art 100 left 3 world 1000.00,1000.00,5.00",
                         "at 320,273 art 100 left 2 world 1000.00,1000.00,2.50",
                         "at 320,283 art 100 left 1 world 1000.00,1000.00,0.00",
                     }));
}

TEST_F(Effects, AFlightShorterThanOneStepArrivesAtOnce)
{
    createEffect(0, nullptr, nullptr, kRangeArt, packXY(kCentreX, kCentreY), 1, packXY(kCentreX, kCentreY), 0, 0, 0,
        0, 0, 0, 1, 0x21, 2);
    ASSERT_EQ(missiles().size(), 1u);
    EXPECT_FALSE(std::isnan(missiles()[0]->stepY()));
    tick();
    std::vector<MissileGump*> left = missiles();
    ASSERT_EQ(left.size(), 1u) << "only its explosion";
    EXPECT_TRUE(left[0]->isFixed());
    EXPECT_EQ(left[0]->currentArt(), MissileGump::kLocationExplosionArt);
    ASSERT_NE(left[0]->worldObject(), nullptr);
    EXPECT_EQ(left[0]->worldObject()->z, 0) << "at the target's own height";
    EXPECT_EQ(left[0]->hue(), 0x21) << "the explosion takes the effect's hue and render mode";
    EXPECT_EQ(left[0]->renderMode(), 2);
    EXPECT_EQ(left[0]->ticksLeft(), 13);
}

TEST_F(Effects, AHomingFlightEndsOnlyWithin24PixelsOfItsTarget)
{
    Mobile* target = mobileAt(kTargetSerial, kCentreX + 6, kCentreY - 6);
    ASSERT_NE(target, nullptr);
    createEffectEx(0, nullptr, target, kRangeArt, packXY(kCentreX - 4, kCentreY + 4), 0, 0, 0, 2, 0, 0, 0, 0, 1);
    ASSERT_EQ(missiles().size(), 1u);
    MissileGump* effect = missiles()[0];
    EXPECT_EQ(effect->targetObject(), target);
    double speed = std::hypot(effect->stepX(), effect->stepY());
    EXPECT_NEAR(speed, (2 + 3) * 2, 1e-9);
    int32_t ticks = 0;
    while (!missiles().empty() && ticks < 200) {
        MissileGump* flying = missiles()[0];
        int32_t dx = std::abs(flying->targetScreenX() - flying->x());
        int32_t dy = std::abs(flying->targetScreenY() - flying->y());
        bool near = dx <= 24 && dy <= 24;
        if (!flying->isFixed()) {
            tick();
            ++ticks;
            EXPECT_EQ(missiles().empty() || missiles()[0]->isFixed(), near) << "tick " << ticks;
        } else {
            break;
        }
    }
    ASSERT_EQ(missiles().size(), 1u) << "its explosion";
    MissileGump* blast = missiles()[0];
    EXPECT_EQ(blast->currentArt(), MissileGump::kHomingExplosionArt);
    ASSERT_NE(blast->worldObject(), nullptr);
    EXPECT_EQ(blast->worldObject()->z, target->z + 1) << "one above the target";
    EXPECT_EQ(unpackX(blast->targetXY()), target->x);
    EXPECT_GT(ticks, 10) << "a homing flight never runs out of ticks";
}

TEST_F(Effects, AHomingFlightTurnsWhenItsTargetMoves)
{
    Mobile* target = mobileAt(kTargetSerial, kCentreX + 8, kCentreY);
    ASSERT_NE(target, nullptr);
    createEffectEx(0, nullptr, target, kRangeArt, packXY(kCentreX - 4, kCentreY), 0, 0, 0, 0, 0, 0, 0, 0, 0);
    MissileGump* effect = missiles()[0];
    int32_t firstAngle = effect->angle();
    double firstStepX = effect->stepX();
    tick();
    // The target steps south: the flight is aimed again and turns.
    target->removeFromGrid();
    target->y = int16_t(kCentreY + 6);
    target->place();
    tick();
    ASSERT_FALSE(missiles().empty());
    EXPECT_NE(missiles()[0]->angle(), firstAngle);
    EXPECT_NE(missiles()[0]->stepX(), firstStepX);
    EXPECT_EQ(unpackY(missiles()[0]->targetXY()), kCentreY + 6);
}

TEST_F(Effects, AHomingFlightStraightDownTheScreenFlies)
{
    // Source and target share their screen column: x - y is the same.
    Mobile* source = mobileAt(kRiderSerial, kCentreX - 3, kCentreY - 3);
    Mobile* target = mobileAt(kTargetSerial, kCentreX + 4, kCentreY + 4);
    ASSERT_TRUE(source && target);
    createEffectEx(0, source, target, kRangeArt, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    MissileGump* effect = missiles()[0];
    EXPECT_EQ(effect->targetScreenX(), effect->x());
    ASSERT_NE(effect->worldObject(), nullptr);
    EXPECT_TRUE(std::isfinite(effect->worldObject()->stepX));
    EXPECT_GT(effect->worldObject()->stepX, 0) << "the world step keeps pace with the screen step";
    for (int32_t i = 0; i < 100 && !missiles().empty(); ++i)
        tick();
    EXPECT_TRUE(missiles().empty());
}

TEST_F(Effects, AHomingFlightThatStartsOnItsTargetArrivesAtOnce)
{
    Mobile* source = mobileAt(kRiderSerial, kCentreX + 2, kCentreY);
    ASSERT_NE(source, nullptr);
    createEffectEx(0, source, source, kRangeArt, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0);
    ASSERT_EQ(missiles().size(), 1u);
    EXPECT_EQ(missiles()[0]->stepX(), 0);
    EXPECT_EQ(missiles()[0]->stepY(), 0);
    tick();
    EXPECT_TRUE(missiles().empty());
}

TEST_F(Effects, AFixedEffectsImagesFollowItsSpeed)
{
    auto changesOver = [this](int32_t speed) {
        MissileGump* effect
            = MissileGump::fixedAtLocation(packXY(kCentreX, kCentreY), 0, kRangeArt, speed, 40, false, false);
        effect->link();
        std::vector<int32_t> changes;
        int32_t shown = effect->currentArt();
        for (int32_t t = 1; t <= 18; ++t) {
            tick();
            if (effect->currentArt() != shown)
                changes.push_back(t);
            shown = effect->currentArt();
        }
        closeGump(effect);
        return changes;
    };
    EXPECT_EQ(changesOver(10).size(), 18u) << "speed 10: every tick";
    EXPECT_EQ(changesOver(5), (std::vector<int32_t> { 6, 12, 18 })) << "speed 5: every sixth tick";
    MissileGump* brief = MissileGump::fixedAtLocation(packXY(kCentreX, kCentreY), 0, kRangeArt, 10, 1, false, false);
    brief->link();
    tick();
    EXPECT_TRUE(missiles().empty()) << "duration 1 ends on the first tick";
}

TEST_F(Effects, ARangeIsWalkedUpAndDownOrRoundAgain)
{
    auto shown = [this](bool pingPong) {
        MissileGump* effect
            = MissileGump::fixedAtLocation(packXY(kCentreX, kCentreY), 0, kRangeArt, 10, 100, false, pingPong);
        effect->link();
        std::vector<int32_t> arts { effect->currentArt() };
        for (int32_t t = 0; t < 8; ++t) {
            tick();
            arts.push_back(effect->currentArt());
        }
        closeGump(effect);
        return arts;
    };
    EXPECT_EQ(shown(true), (std::vector<int32_t> { 100, 101, 102, 103, 102, 101, 100, 101, 102 }));
    EXPECT_EQ(shown(false), (std::vector<int32_t> { 100, 101, 102, 103, 100, 101, 102, 103, 100 }));
}

TEST_F(Effects, AnAnimatedArtIsSteppedByItsAnimation)
{
    ASSERT_TRUE(animDataTable().load(fixture::animDataFile(16384, [](int32_t graphic) {
        fixture::AnimDataEntry entry;
        if (graphic == kRangeArt + 50) {
            entry.frameCount = 3;
            entry.frameOffsets[1] = 2;
            entry.frameOffsets[2] = 5;
            entry.interval = 2;
            entry.startDelay = 1;
        }
        return entry;
    })));
    MissileGump* effect = MissileGump::fixedAtLocation(packXY(kCentreX, kCentreY), 0, kRangeArt + 50, 10, 50, 0, 0);
    effect->link();
    ASSERT_TRUE(effect->isAnimated());
    std::vector<int32_t> arts { effect->currentArt() };
    for (int32_t t = 0; t < 7; ++t) {
        tick();
        arts.push_back(effect->currentArt());
    }
    // The start delay first, then the frame interval between frames.
    EXPECT_EQ(arts, (std::vector<int32_t> { 150, 152, 152, 155, 155, 150, 150, 152 }));
    closeGump(effect);
    animDataTable() = AnimDataTable();
}

TEST_F(Effects, LightningFlashesThroughItsGumpArtForSixTicks)
{
    MissileGump* flash = MissileGump::lightningAtLocation(packXY(kCentreX + 1, kCentreY), 3);
    flash->link();
    ASSERT_NE(flash->worldObject(), nullptr);
    for (int32_t t = 0; t < 5; ++t) {
        EXPECT_GE(flash->currentArt(), 20000);
        EXPECT_LE(flash->currentArt(), 20009);
        EXPECT_TRUE(flash->picture().lightning);
        tick();
        ASSERT_EQ(missiles().size(), 1u);
    }
    EXPECT_EQ(flash->worldObject()->screenRect.width(), 6) << "the gump art's size";
    tick();
    EXPECT_TRUE(missiles().empty());
}

TEST_F(Effects, AnEffectRidingOnAMobileIsListedWithItAndLeavesIt)
{
    Mobile* rider = mobileAt(kRiderSerial, kCentreX + 1, kCentreY + 1);
    ASSERT_NE(rider, nullptr);
    createEffect(3, rider, nullptr, kRangeArt, 0, 0, 0, 0, 10, 3, 0, 0, 0, 0, 0x55, 0);
    createEffect(3, rider, nullptr, kRangeArt + 1, 0, 0, 0, 0, 10, 9, 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(attachedEffects(*rider).size(), 2u);
    EXPECT_EQ(attachedEffects(*rider)[0]->worldObject(), nullptr) << "drawn by the mobile itself";
    std::vector<EffectPicture> pictures;
    effects.attachedPictures(*rider, pictures);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].hue, 0x55);
    EXPECT_EQ(pictures[1].art, kRangeArt + 1);
    for (int32_t t = 0; t < 3; ++t)
        tick();
    ASSERT_EQ(attachedEffects(*rider).size(), 1u) << "the first ended and unlinked itself";
    EXPECT_EQ(attachedEffects(*rider)[0]->currentArt(), kRangeArt + 1) << "a range of one image";
    EXPECT_TRUE(rider->isPlaced());
}

TEST_F(Effects, AMobileThatGoesTakesItsEffectsWithIt)
{
    Mobile* rider = mobileAt(kRiderSerial, kCentreX + 1, kCentreY + 1);
    Mobile* target = mobileAt(kTargetSerial, kCentreX + 5, kCentreY);
    ASSERT_TRUE(rider && target);
    createEffectEx(3, rider, nullptr, kRangeArt, 0, 0, 0, 0, 10, 30, 0, 0, 0, 0);
    createEffectEx(0, rider, target, kRangeArt, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0);
    createEffectEx(0, nullptr, rider, kRangeArt, packXY(kCentreX, kCentreY), 0, 0, 0, 1, 0, 0, 0, 0, 0);
    ASSERT_EQ(missiles().size(), 3u);
    ASSERT_TRUE(deleteObjectBySerial(kRiderSerial));
    EXPECT_EQ(missiles().size(), 1u) << "the flight from it goes on; the ones on it and at it end";
    ASSERT_TRUE(deleteObjectBySerial(kTargetSerial));
    EXPECT_TRUE(missiles().empty());
}

TEST_F(Effects, TheFactoriesBuildByKindAndRecordWhileRecording)
{
    Mobile* source = mobileAt(kRiderSerial, kCentreX + 1, kCentreY);
    Mobile* target = mobileAt(kTargetSerial, kCentreX + 5, kCentreY);
    createEffectEx(1, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    createEffectEx(3, nullptr, nullptr, kRangeArt, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    createEffectEx(9, source, target, kRangeArt, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(missiles().empty()) << "no source for lightning or a ride; kind 9 is nothing";
    createEffectEx(0x101, source, target, kRangeArt, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(missiles().size(), 1u) << "only the low eight bits of the kind count";
    EXPECT_TRUE(missiles()[0]->isLightning());

    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    createEffectEx(0, source, target, kRangeArt, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1);
    createEffect(2, nullptr, nullptr, kRangeArt, packXY(kCentreX, kCentreY), 0, 0, 0, 10, 5, 0, 0, 0, 0, 7, 1);
    createEffectEx(1, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    createDragEffect(kRangeArt, packXY(kCentreX, kCentreY), 0, packXY(kCentreX + 2, kCentreY), 0, 5, 1, 0);
    EXPECT_EQ(missiles().size(), 2u) << "recorded effects wait; the drag effect is never recorded";
    EXPECT_EQ(sequence->entryCount(), 3u);
    stopEffectRecording(1);
}

TEST_F(Effects, ARecordedFlightPlayedTwiceFliesTwiceThenTheSequenceIsGone)
{
    ASSERT_TRUE(startEffectRecording());
    RecordedSequence* sequence = currentRecordedSequence();
    createEffectEx(0, nullptr, nullptr, kRangeArt, packXY(kCentreX, kCentreY), 25, packXY(kCentreX, kCentreY), 0, 0,
        0, 0, 0, 1, 0);
    EXPECT_TRUE(missiles().empty());
    stopEffectRecording(2);
    int32_t flights = 0;
    MissileGump* seen = nullptr;
    for (int32_t t = 0; t < 40; ++t) {
        std::vector<MissileGump*> now = missiles();
        if (!now.empty() && now[0] != seen) {
            ++flights;
            seen = now[0];
            EXPECT_EQ(seen->sequence(), sequence);
        }
        tick();
    }
    EXPECT_EQ(flights, 2);
    EXPECT_TRUE(missiles().empty());
    EXPECT_FALSE(isLiveSequence(sequence));
}

TEST_F(Effects, ClosingAllEffectsLetsTheirSequencesGoOn)
{
    startEffectRecording();
    RecordedSequence* sequence = currentRecordedSequence();
    createEffectEx(2, nullptr, nullptr, kRangeArt, packXY(kCentreX, kCentreY), 0, 0, 0, 10, 100, 0, 0, 0, 0);
    stopEffectRecording(3);
    ASSERT_EQ(missiles().size(), 1u);
    missileGumpsCloseAll();
    ASSERT_EQ(missiles().size(), 1u) << "the next repetition started";
    missileGumpsCloseAll();
    missileGumpsCloseAll();
    EXPECT_TRUE(missiles().empty());
    EXPECT_FALSE(isLiveSequence(sequence));
}

TEST_F(Effects, AScrollOfTheViewMovesEveryEffect)
{
    createEffectEx(0, nullptr, nullptr, kRangeArt, packXY(kCentreX, kCentreY), 0, packXY(kCentreX + 5, kCentreY), 0,
        0, 0, 0, 0, 0, 0);
    MissileGump* effect = missiles()[0];
    int32_t x = effect->x();
    double posY = effect->posY();
    int32_t targetX = effect->targetScreenX();
    missileGumpsShiftBy(-5, 7);
    EXPECT_EQ(effect->x(), x - 5);
    EXPECT_DOUBLE_EQ(effect->posY(), posY + 7);
    EXPECT_EQ(effect->targetScreenX(), targetX - 5);
}

TEST_F(Effects, TheWorldObjectLeavesTheGridWithItsEffect)
{
    MissileGump* effect
        = MissileGump::fixedAtLocation(packXY(kCentreX + 2, kCentreY + 1), 5, kRangeArt, 10, 50, false, false);
    effect->link();
    MissileWorldObject* object = effect->worldObject();
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->isPlaced());
    EXPECT_TRUE(object->isEffect());
    EXPECT_EQ(object->x, kCentreX + 2);
    EXPECT_EQ(object->z, 5);
    // Evicted with its cell, the effect ends on its next tick.
    worldCellGrid().clearCell(kCentreX + 2, kCentreY + 1);
    EXPECT_EQ(effect->worldObject(), nullptr);
    tick();
    EXPECT_TRUE(missiles().empty());
}

TEST(AngleToByte, TruncatesTowardZero)
{
    EXPECT_EQ(angleToByte(0), 0);
    EXPECT_EQ(angleToByte(std::numbers::pi / 2), 64);
    EXPECT_EQ(angleToByte(-std::numbers::pi / 2), -64);
    EXPECT_EQ(angleToByte(0.0245), 0);
    EXPECT_EQ(angleToByte(-0.0246), -1);
}

} // namespace
