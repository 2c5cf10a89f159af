// The house design window on the gump desktop: picker hits, the way back
// from a style page, the page arrows, and a page whose server feature is not
// granted.
#include "fixtures/house_table_files.h"
#include "gump/button.h"
#include "gump/gump_test_support.h"
#include "data/server_features.h"
#include "data/targeting.h"
#include "housing/house_design_gump.h"
#include "housing/house_designer.h"

#include <gtest/gtest.h>

namespace {

using housing::ComponentKind;
using housing::HouseDesignGump;

class HouseDesignWindow : public gump_test::Desktop {
protected:
    HouseDesignWindow()
    {
        auto& catalogue = housing::houseDesigner().catalogue();
        // Two roof categories (the first with two style pages), a floor
        // page and a floor page that needs feature bit 0x100.
        catalogue.table(ComponentKind::Roofs)
            .loadFromBytes(ComponentKind::Roofs,
                fixture::HouseTableFile()
                    .row({ 0, 0, 1070000, 300, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311, 312, 313, 314,
                        315, 0 })
                    .row({ 0, 1, 0, 320, 321, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 })
                    .row({ 1, 0, 1070001, 330, 331, 332, 333, 334, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 })
                    .text());
        catalogue.table(ComponentKind::Floors)
            .loadFromBytes(ComponentKind::Floors,
                fixture::HouseTableFile()
                    .row({ 0, 400, 401, 402, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 })
                    .row({ 1, 410, 411, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x100 })
                    .text());
        setServerFeatures(0);
        window = new HouseDesignGump(50, 50);
        gumpLink(window, nullptr);
    }
    ~HouseDesignWindow() override
    {
        closeGump(housing::houseDesignGump());
        housing::houseDesigner().catalogue().clear();
        targetingState() = TargetingState {};
    }

    HouseDesignGump* window = nullptr;
};

struct PickerHit {
    int32_t x;
    int32_t y;
    bool sixteen;
    int32_t cell;
};

class PickerHits : public testing::TestWithParam<PickerHit> { };

TEST_P(PickerHits, LandOnTheirCell)
{
    const PickerHit& hit = GetParam();
    EXPECT_EQ(HouseDesignGump::pickerCellAt(hit.x, hit.y, hit.sixteen), hit.cell);
}

INSTANTIATE_TEST_SUITE_P(Cells, PickerHits,
    testing::Values(PickerHit { 178, 40, true, 0 }, PickerHit { 179, 40, true, 1 }, PickerHit { 140, 96, true, 8 },
        PickerHit { 140, 95, true, 0 }, PickerHit { 140, 96, false, 0 }, PickerHit { 507, 155, true, 15 },
        PickerHit { 131, 40, true, -1 }, PickerHit { 508, 40, true, -1 }, PickerHit { 140, 35, true, -1 },
        PickerHit { 140, 156, true, -1 }));

TEST_F(HouseDesignWindow, ARoofCategoryOpensItsStylesAndBackReturnsToTheCategories)
{
    EXPECT_EQ(window->panel(), HouseDesignGump::kActionPanel);
    window->showRoofs();
    EXPECT_EQ(window->panel(), HouseDesignGump::kRoofCategories);
    EXPECT_EQ(window->cellIds()[1], 334) << "the second category shows its header's fifth piece";
    window->clickPicker(HouseDesignGump::kPickerLeft + 1, 40);
    ASSERT_EQ(window->panel(), HouseDesignGump::kRoofStyles);
    EXPECT_EQ(window->openCategory(), 0);
    EXPECT_EQ(window->pageCount(), 2);
    EXPECT_TRUE(window->backButton()->isVisible());
    EXPECT_TRUE(housing::houseDesigner().heightMode()) << "roof styles place at a height";

    window->previousPage();
    EXPECT_EQ(window->shownPage(), 1) << "the arrows wrap";
    EXPECT_EQ(window->cellIds()[0], 320);
    window->nextPage();
    EXPECT_EQ(window->shownPage(), 0);

    window->back();
    EXPECT_EQ(window->panel(), HouseDesignGump::kRoofCategories);
    window->showFloors();
    EXPECT_FALSE(window->backButton()->isVisible());
    EXPECT_FALSE(housing::houseDesigner().heightMode());
}

TEST_F(HouseDesignWindow, APageWhoseFeatureIsNotGrantedCannotBeChosenFrom)
{
    window->showFloors();
    window->clickPicker(HouseDesignGump::kPickerLeft + 1, 40);
    EXPECT_EQ(housing::houseDesigner().currentComponent(), 400);
    EXPECT_EQ(housing::houseDesigner().tool(), housing::kPlacePieceTool);
    EXPECT_TRUE(targetingState().targetingActive);

    window->nextPage();
    EXPECT_EQ(window->pageFeatureMask(), 0x100);
    EXPECT_FALSE(window->pageGranted());
    window->clickPicker(HouseDesignGump::kPickerLeft + 1, 40);
    EXPECT_EQ(housing::houseDesigner().currentComponent(), 400) << "the piece of the granted page stays chosen";

    setServerFeatures(0x100);
    window->clickPicker(HouseDesignGump::kPickerLeft + 1, 40);
    EXPECT_EQ(housing::houseDesigner().currentComponent(), 410);
}

TEST_F(HouseDesignWindow, TheActionButtonsShowOnlyOnTheActionPanel)
{
    for (int32_t n = 0; n < 6; ++n)
        EXPECT_FALSE(window->actionButton(n)->isVisible());
    window->showActions();
    for (int32_t n = 0; n < 6; ++n)
        EXPECT_TRUE(window->actionButton(n)->isVisible());
    window->showStairs();
    EXPECT_FALSE(window->actionButton(0)->isVisible());
}

} // namespace

#include "fixtures/facet_writer.h"
#include "fixtures/sample_world.h"
#include "gfx/art_cache.h"
#include "gfx/gump_art.h"
#include "support/png_writer.h"
#include "world/static_object.h"

namespace {

// The window drawn from the sample data set, its floors page shown.
class HouseDesignPicture : public gump_test::Desktop {
protected:
    HouseDesignPicture()
    {
        housing::houseDesigner().catalogue().load();
        window = new HouseDesignGump(0, 0);
        gumpLink(window, nullptr);
    }
    ~HouseDesignPicture() override
    {
        closeGump(housing::houseDesignGump());
        housing::houseDesigner().catalogue().clear();
        targetingState() = TargetingState {};
    }

    fixture::SampleWorld sample;
    HouseDesignGump* window = nullptr;
};

TEST_F(HouseDesignPicture, TheFloorsPageCentresEachPictureInItsCell)
{
    window->showFloors();
    const GumpPage& face = *window->page(0);
    ASSERT_EQ(window->cellIds()[0], fixture::kSampleFloor);
    ASSERT_EQ(window->cellIds()[1], fixture::kSampleRoof);
    // Each picture's drawn pixels, boxed as the art has them, land centred
    // in their 47-pixel cell and in the 60 rows of the first row of cells.
    for (int32_t cell = 0; cell < 2; ++cell) {
        int32_t id = window->cellIds()[size_t(cell)];
        const ArtImage* image = getArtImage(ArtImageCache::kStaticArtBase + id);
        ASSERT_NE(image, nullptr);
        int32_t left = image->width(), right = -1, top = image->height(), bottom = -1;
        for (int32_t y = 0; y < image->height(); ++y)
            for (int32_t x = 0; x < image->width(); ++x)
                if (getArtPixel(image, x, y)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        int32_t width = std::min(right - left + 1, 47);
        int32_t height = std::min(bottom - top + 1, 58);
        int32_t atX = 132 + 47 * cell + (47 - width) / 2;
        int32_t atY = 36 + (60 - height) / 2;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                uint16_t source = getArtPixel(image, left + x, top + y);
                uint16_t shown = isGumpArt565() ? uint16_t(((source & 0xFFE0) << 1) | (source & 0x1F)) : source;
                if (source != 0) {
                    ASSERT_EQ(face.pixel(atX + x, atY + y), shown) << "cell " << cell << " at " << x << "," << y;
                }
            }
    }
    test::writeSurfacePng(test::picturePath("house_design_floors.png"), face.pixels.data(), face.width, face.height,
        face.width);
    EXPECT_EQ(test::surfaceHash(face.pixels.data(), face.width, face.height, face.width), 0x72d4093c2a913542ull)
        << std::hex << test::surfaceHash(face.pixels.data(), face.width, face.height, face.width);
}

} // namespace
