// Effects drawn in the world: an effect image on a plain surface against a
// per-pixel reference, and effects in mid-flight over the sample world kept
// as a golden.
#include "fixtures/facet_writer.h"
#include "fixtures/sample_world.h"
#include "gfx/art_cache.h"
#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "support/png_writer.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <gtest/gtest.h>

namespace {

// The first cursor arrow of the sample art, as item art.
constexpr int32_t kArrowArt = 24659 - kFirstStaticArt;

TEST(EffectImage, APlainImageIsCopiedWithItsBottomCentreAtThePoint)
{
    fixture::SampleWorld world;
    const ArtImage* image = getArtImage(kFirstStaticArt + kArrowArt);
    ASSERT_NE(image, nullptr);
    constexpr int32_t kWidth = 40;
    constexpr int32_t kHeight = 40;
    std::vector<uint16_t> pixels(size_t(kWidth * kHeight), 0x0421);
    BlitTarget target = BlitTarget::surface(pixels.data(), kWidth, kHeight, kWidth);
    EffectPicture picture { 21, 30, kArrowArt, 0, false, 0, 0 };
    ScreenRect clip { 0, 0, kWidth, 25 };
    drawEffectImage(target, clip, picture);

    int32_t left = 21 - image->width() / 2;
    int32_t top = 30 - image->height();
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            uint16_t art = getArtPixel(image, x - left, y - top);
            uint16_t expected = (art && y < 25) ? art : 0x0421;
            ASSERT_EQ(pixels[size_t(y * kWidth + x)], expected) << x << "," << y;
        }
    }
    EXPECT_EQ(effectImageRect(picture).width(), image->width());
    EXPECT_TRUE(effectImageRect({ 5, 5, 0x3FFF, 0, false, 0, 0 }).isEmpty()) << "a missing image";
}

TEST(EffectPictures, EffectsInMidFlightKeepTheirPicture)
{
    fixture::SampleWorld world;
    gumpSystemStartup();
    const int32_t x = fixture::kSampleCentreX;
    const int32_t y = fixture::kSampleCentreY;
    constexpr int32_t kWidth = 320;
    constexpr int32_t kHeight = 240;
    world.centreView(kWidth, kHeight);
    // A plain bolt that keeps its direction, one that turns to its flight, a
    // hued and blended one, and a fixed one cycling in place.
    createEffectEx(0, nullptr, nullptr, kArrowArt, packXY(x - 4, y), 10, packXY(x + 4, y + 2), 0, 1, 0, 0, 0, 1, 0);
    createEffectEx(0, nullptr, nullptr, kArrowArt, packXY(x - 3, y + 4), 0, packXY(x + 5, y - 2), 20, 0, 0, 0, 0, 0, 0);
    createEffect(0, nullptr, nullptr, kArrowArt, packXY(x + 3, y + 1), 0, packXY(x - 4, y - 3), 0, 2, 0, 0, 0, 0, 0,
        33, 2);
    createEffectEx(2, nullptr, nullptr, kArrowArt, packXY(x + 1, y - 2), 0, 0, 0, 10, 30, 0, 1, 0, 0);
    for (int32_t tick = 0; tick < 4; ++tick)
        gumpManagerUpdate();
    std::vector<uint16_t> frame = world.drawFrame(kWidth, kHeight);
    test::writeSurfacePng(test::picturePath("world_scene_effects.png"), frame.data(), kWidth, kHeight, kWidth);
    EXPECT_EQ(test::surfaceHash(frame.data(), kWidth, kHeight, kWidth), 0xf1c11a01e7109587ull)
        << "picture changed; see " << test::picturePath("world_scene_effects.png");
    missileGumpsCloseAll();
    gumpSystemShutdown();
}

} // namespace
