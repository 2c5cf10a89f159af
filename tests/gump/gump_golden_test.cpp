// Pictures of the framework, each checked against a per-pixel reference
// built from the test arts and kept as a golden hash (the PNG is written to
// the build's pictures folder for a person to look at).
#include "gump_test_support.h"

#include "fixtures/hue_writer.h"
#include "gfx/hue_table.h"
#include "gump/button.h"
#include "support/png_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

// The test arts, as addStandardArt makes them.
fixture::GumpArtPicture framePiece(int32_t index)
{
    return fixture::patternPicture(index == 4 ? 3 : 7, index == 4 ? 4 : 5, uint16_t(0x0800 + index * 0x0C71));
}

fixture::GumpArtPicture buttonArt(int32_t offset)
{
    return fixture::patternPicture(10, 10, uint16_t(0x0100 + offset * 0x1111));
}

// Paints a piece at the tiles (startX + i * w, startY + j * h) inside `band`,
// pixel by pixel, colour-keyed.
void paintTiles(std::vector<uint16_t>& picture, int32_t width, const fixture::GumpArtPicture& art,
    const ScreenRect& band, int32_t startX, int32_t startY)
{
    for (int32_t y = band.top; y < band.bottom; ++y) {
        for (int32_t x = band.left; x < band.right; ++x) {
            if (x < startX || y < startY)
                continue;
            uint16_t pixel = art.at((x - startX) % art.width, (y - startY) % art.height);
            if (pixel)
                picture[size_t(y) * size_t(width) + size_t(x)] = pixel;
        }
    }
}

using Golden = Desktop;

TEST_F(Golden, NinePieceFrame)
{
    constexpr int32_t kWidth = 64;
    constexpr int32_t kHeight = 48;
    constexpr int32_t kLeft = 2;
    constexpr int32_t kTop = 3;
    constexpr int32_t kFrameWidth = 55;
    constexpr int32_t kFrameHeight = 41;
    auto* gump = new CGump(0, 0, nullptr, 1, kWidth, kHeight);
    gump->page(0)->allocate(kWidth, kHeight);
    const int32_t arts[9] = { 300, 301, 302, 303, 304, 305, 306, 307, 308 };
    gump->drawNinePatchFrame(kLeft, kTop, kFrameWidth, kFrameHeight, arts, true, 0, 0);
    const std::vector<uint16_t>& drawn = gump->page(0)->pixels;

    std::vector<uint16_t> expected(size_t(kWidth * kHeight), 0);
    const int32_t right = kLeft + kFrameWidth;
    const int32_t bottom = kTop + kFrameHeight;
    const int32_t corner = 7;
    const int32_t cornerHeight = 5;
    paintTiles(expected, kWidth, framePiece(4), { kLeft + corner, kTop + cornerHeight, right - corner, bottom - cornerHeight },
        kLeft + corner, kTop + cornerHeight);
    paintTiles(expected, kWidth, framePiece(1), { kLeft + corner, kTop, right - corner, kTop + cornerHeight }, kLeft + corner,
        kTop);
    paintTiles(expected, kWidth, framePiece(7), { kLeft + corner, bottom - cornerHeight, right - corner, bottom },
        kLeft + corner, bottom - cornerHeight);
    paintTiles(expected, kWidth, framePiece(3), { kLeft, kTop + cornerHeight, kLeft + corner, bottom - cornerHeight }, kLeft,
        kTop + cornerHeight);
    paintTiles(expected, kWidth, framePiece(5), { right - corner, kTop + cornerHeight, right, bottom - cornerHeight },
        right - corner, kTop + cornerHeight);
    paintTiles(expected, kWidth, framePiece(0), { kLeft, kTop, kLeft + corner, kTop + cornerHeight }, kLeft, kTop);
    paintTiles(expected, kWidth, framePiece(2), { right - corner, kTop, right, kTop + cornerHeight }, right - corner, kTop);
    paintTiles(expected, kWidth, framePiece(6), { kLeft, bottom - cornerHeight, kLeft + corner, bottom }, kLeft,
        bottom - cornerHeight);
    paintTiles(expected, kWidth, framePiece(8), { right - corner, bottom - cornerHeight, right, bottom }, right - corner,
        bottom - cornerHeight);

    test::writeSurfacePng(test::picturePath("nine_piece_frame.png"), drawn.data(), kWidth, kHeight, kWidth);
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(test::surfaceHash(drawn.data(), kWidth, kHeight, kWidth), 0x21db90c16b02d039ull)
        << "picture changed; see " << test::picturePath("nine_piece_frame.png");
    delete gump;
}

TEST_F(Golden, ButtonsInEachState)
{
    // Hue 0x3C0 (entry 960) recolours by the red channel: colour i of the
    // ramp is 0x2000 | i.
    std::vector<uint8_t> hues = fixture::hueFile(3000, [](int32_t) {
        fixture::HueRamp ramp;
        for (int32_t i = 0; i < 32; ++i)
            ramp.colours[size_t(i)] = uint16_t(0x2000 | i);
        return ramp;
    });
    ASSERT_TRUE(hueTable().load(hues));

    auto* window = new PageGump(0, 0, 80, 12, 0x0001);
    window->colourKeyed = false;
    window->page(0)->pixels.assign(size_t(80 * 12), 0x0001);
    gumpLink(window, nullptr);
    auto button = [window](int32_t x, int32_t page) {
        auto* made = new Button(x, 1, ButtonBehaviour::Toggle, page, nullptr, 100, 101, false);
        made->setHoverArt(102);
        made->setFlashArt(103);
        gumpLink(made, window);
        return made;
    };
    button(1, 0);
    button(12, 1);
    button(23, 0)->onMouseOver(0, 0);
    Button* flashing = button(34, 0);
    for (int i = 0; i < 11; ++i)
        flashing->tick();
    ASSERT_TRUE(flashing->isFlashOn());
    button(45, 0)->setDisabled(true);
    button(56, 1)->setDisabled(true);
    Button* disabledHover = button(67, 0);
    disabledHover->setDisabled(true);
    disabledHover->onMouseOver(0, 0);

    gumpRedrawRect({ 0, 0, 80, 12 }, false);
    std::vector<uint16_t> drawn;
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 80; ++x)
            drawn.push_back(screenPixel(x, y));

    // The reference: each button shows one art at (x, 1), disabled arts
    // through the hue by red.
    std::vector<uint16_t> expected(size_t(80 * 12), 0x0001);
    auto paint = [&expected](int32_t left, const fixture::GumpArtPicture& picture, bool disabled) {
        for (int32_t y = 0; y < picture.height; ++y) {
            for (int32_t x = 0; x < picture.width; ++x) {
                uint16_t pixel = picture.at(x, y);
                if (!pixel)
                    continue;
                if (disabled && pixel != 1)
                    pixel = uint16_t(0x2000 | ((pixel >> 10) & 31));
                expected[size_t(1 + y) * 80 + size_t(left + x)] = pixel;
            }
        }
    };
    paint(1, buttonArt(0), false);
    paint(12, buttonArt(1), false);
    paint(23, buttonArt(2), false);
    paint(34, buttonArt(3), false);
    paint(45, buttonArt(0), true);
    paint(56, buttonArt(1), true);
    paint(67, buttonArt(0), true) /* the hover art is never shown disabled */;

    test::writeSurfacePng(test::picturePath("buttons.png"), drawn.data(), 80, 12, 80);
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(test::surfaceHash(drawn.data(), 80, 12, 80), 0xbd8c47925e1c52cfull)
        << "picture changed; see " << test::picturePath("buttons.png");
    gumpRedrawRect({}, true);
    hueTable() = HueTable();
}

} // namespace
