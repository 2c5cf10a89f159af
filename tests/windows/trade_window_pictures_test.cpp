// The pictures of the trade window, the two pickers, the text query and the
// context menu as their packets open them over the sample data: a golden by
// hash of each, and the context menu's half see-through frame checked pixel
// by pixel against the picture under it.

#include "trade_windows_fixture.h"

#include "data/server_features.h"
#include "gump/gump_manager.h"
#include "protocol/protocol_handlers.h"
#include "support/png_writer.h"
#include "windows/context_menu.h"
#include "windows/window_packets.h"
#include "world/mobile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

using fixture::ServerPacket;

constexpr uint32_t kPictureWoman = 0x00000301;
constexpr uint32_t kPictureMyBox = 0x40000530;
constexpr uint32_t kPictureHerBox = 0x40000531;

class WindowPictures : public windows_test::TradeWindows {
protected:
    WindowPictures()
    {
        registerProtocolHandlers();
        registerTradeWindowHandlers();
        storeCharacterListFlags(0x08);
        addMobile(kPictureWoman, player()->x - 1, player()->y + 1, 401);
        equip(player()->serial, kPictureMyBox, fixture::kSampleTradeBoxGraphic, 28);
        equip(kPictureWoman, kPictureHerBox, fixture::kSampleTradeBoxGraphic, 28);
        addToContainer(0x40000532, fixture::kSampleGoodsGraphics[1], 30, 30, kPictureHerBox, 1);
    }
    ~WindowPictures() override { storeCharacterListFlags(0); }
};

struct PictureCase {
    const char* name;
    std::function<std::vector<uint8_t>()> packet;
    uint64_t hash;
};

class WindowPicture : public WindowPictures, public testing::WithParamInterface<PictureCase> { };

TEST_P(WindowPicture, MatchesItsGolden)
{
    if (std::string(GetParam().name) == "ContextMenu") {
        pointAt(300, 200);
        pressLeft(300, 200);
        releaseLeft(300, 200);
        requestContextMenu(kPictureWoman);
    }
    dispatch(GetParam().packet());
    ASSERT_NE(gumpListHead(), nullptr) << "the packet opens its window";
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath(std::string("trade_window_") + GetParam().name + ".png"), shown.data(), 640,
        480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, GetParam().hash) << std::hex << hash;
}

std::vector<uint8_t> tradeOpen()
{
    return ServerPacket(0x6F).u8(0).u32(kPictureWoman).u32(kPictureMyBox).u32(kPictureHerBox).u8(1).text("Mira", 30).bytes();
}

std::vector<uint8_t> menu(uint16_t firstGraphic)
{
    ServerPacket packet(0x7C);
    packet.u32(0x40000001).u16(3).u8(13).text("Which saddle?", 13).u8(3);
    for (const char* name : { "a plain saddle", "a fine saddle", "no saddle" }) {
        const std::string text = name;
        packet.u16(firstGraphic).u16(0).u8(uint8_t(text.size())).text(text, text.size());
        firstGraphic = firstGraphic ? uint16_t(fixture::kSampleGoodsGraphics[0]) : 0;
    }
    return packet.bytes();
}

std::vector<uint8_t> horseNameQuery()
{
    return ServerPacket(0xAB)
        .u32(0x40000001)
        .u16(7)
        .u16(15)
        .text("Name the horse", 15)
        .u8(1)
        .u8(1)
        .u32(12)
        .u16(23)
        .text("At most twelve letters", 23)
        .bytes();
}

std::vector<uint8_t> contextMenu()
{
    return ServerPacket(0xBF)
        .u16(0x14)
        .u16(1)
        .u32(kPictureWoman)
        .u8(3)
        .u16(1)
        .u16(uint16_t(fixture::kSampleSaddleText - 3000000))
        .u16(0)
        .u16(2)
        .u16(uint16_t(fixture::kSampleNameHorseText - 3000000))
        .u16(0x01)
        .u16(3)
        .u16(uint16_t(fixture::kSampleBrushText - 3000000))
        .u16(0x02)
        .bytes();
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowPicture,
    testing::Values(PictureCase { "Trade", tradeOpen, 0xbc0cd4043adac0b2ull },
        PictureCase { "ObjectPicker", [] { return menu(fixture::kSampleGoodsGraphics[2]); }, 0x4f3ab5fb83deae6full },
        PictureCase { "StringPicker", [] { return menu(0); }, 0xf2c844e9a24f4351ull },
        PictureCase { "TextQuery", horseNameQuery, 0x1ea2b6386813b239ull }, PictureCase { "ContextMenu", contextMenu, 0xf13a176f9540a3bbull }),
    [](const testing::TestParamInfo<PictureCase>& picture) { return picture.param.name; });

// The compact menu's frame leaves out every pixel of an odd column and an
// odd row, so the world shows through there; elsewhere it is the frame's.
TEST_F(WindowPictures, TheContextMenusFrameIsHalfSeeThrough)
{
    composeAll();
    const std::vector<uint16_t> under = screenPicture();
    pointAt(300, 200);
    pressLeft(300, 200);
    releaseLeft(300, 200);
    requestContextMenu(kPictureWoman);
    dispatch(contextMenu());
    ContextMenuGump* popup = contextMenuGump();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->shownTags(), (std::vector<uint16_t> { 1, 2 })) << "the secondary entry waits for more";
    composeAll();
    int32_t seeThrough = 0;
    int32_t frame = 0;
    // The frame's corner, left of the texts and above them.
    for (int32_t y = 1; y < ContextMenuGump::kMargin - 2; ++y) {
        for (int32_t x = 1; x < ContextMenuGump::kMargin - 2; ++x) {
            const int32_t sx = popup->x() + x;
            const int32_t sy = popup->y() + y;
            const uint16_t pixel = screenPixel(sx, sy);
            const uint16_t behind = under[size_t(sy) * 640 + size_t(sx)];
            if (x % 2 == 1 && y % 2 == 1) {
                EXPECT_EQ(pixel, behind) << x << "," << y;
                ++seeThrough;
            } else if (pixel != behind) {
                ++frame;
            }
        }
    }
    EXPECT_GT(seeThrough, 0);
    EXPECT_GT(frame, seeThrough) << "the rest is the frame";
}

} // namespace
