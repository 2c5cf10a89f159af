// Container windows over the sample world: what they draw (kept as a pixel
// hash, checked pixel by pixel against the pictures themselves), where items
// are kept inside, the sounds, the drops they take, and what closing them
// forgets.

#include "windows/windows_test_support.h"

#include "fixtures/sample_data_writer.h"
#include "fixtures/sample_window_art.h"
#include "fixtures/server_packet.h"
#include "gfx/hue_table.h"
#include "gump/gump_factory.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/combat_packets.h"
#include "protocol/protocol_handlers.h"
#include "support/png_writer.h"
#include "windows/container_gump.h"
#include "windows/drag_gump.h"
#include "windows/paperdoll_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/walking.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kBackpack = 0x40000100;
constexpr int32_t kWindowX = 300;
constexpr int32_t kWindowY = 120;

class Containers : public windows_test::WindowDesktop {
protected:
    ContainerGump* openBackpack()
    {
        playerBackpack();
        CGump* window = openContainerGump(kBackpack, 60);
        if (!window || !window->is(GumpKind::ContainerGump))
            return nullptr;
        window->moveTo(kWindowX, kWindowY, true, nullptr, false);
        return static_cast<ContainerGump*>(window);
    }

    // The dense picture the fixture drew, for independent checks.
    static const fixture::GumpArtPicture& itemPicture(int32_t graphic)
    {
        static const auto pictures = fixture::sampleWindowItemArt();
        return pictures.at(0x4000 + graphic);
    }
    static const fixture::GumpArtPicture& gumpPicture(int32_t id)
    {
        static const auto pictures = fixture::sampleGumpArt();
        return pictures.at(id);
    }
};

TEST_F(Containers, ABackpackShowsItsItemsOnItsFace)
{
    ContainerGump* window = openBackpack();
    ASSERT_NE(window, nullptr);
    Item* coin = addToContainer(0x40000201, fixture::kSampleCoinGraphic, 60, 80, kBackpack, 1);
    Item* few = addToContainer(0x40000202, fixture::kSampleCoinGraphic, 90, 80, kBackpack, 4);
    Item* pile = addToContainer(0x40000203, fixture::kSampleCoinGraphic, 120, 80, kBackpack, 500);
    Item* pouch = addToContainer(0x40000204, fixture::kSamplePouchGraphic, 150, 120, kBackpack);
    Item* shirt = addToContainer(0x40000205, 0x1517, 60, 120, kBackpack, 1, 33);
    Item* hat = addToContainer(0x40000206, 0x1715, 44, 140, kBackpack);
    Item* hair = addToContainer(0x40000207, 0x203B, 100, 130, kBackpack);
    ASSERT_TRUE(coin && few && pile && pouch && shirt && hat && hair);
    composeAll();

    std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("container_backpack.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0xc77c33349428c757ull) << std::hex
        << test::surfaceHash(picture.data(), 640, 480, 640);

    // The face where no item lies, the world where the face is transparent.
    const fixture::GumpArtPicture& face = gumpPicture(60);
    EXPECT_EQ(screenPixel(kWindowX + 180, kWindowY + 150), face.at(180, 150));
    EXPECT_EQ(face.at(2, 2), 0);
    EXPECT_EQ(screenPixel(kWindowX + 2, kWindowY + 2), worldPixel(kWindowX + 2, kWindowY + 2));
    // An unhued item is its own picture, and the amount picks the picture.
    const fixture::GumpArtPicture& one = itemPicture(fixture::kSampleCoinGraphic);
    EXPECT_EQ(screenPixel(kWindowX + coin->x + 5, kWindowY + coin->y + 5), one.at(5, 5));
    const fixture::GumpArtPicture& three = itemPicture(fixture::kSampleCoinGraphic + 1);
    EXPECT_EQ(screenPixel(kWindowX + few->x + 9, kWindowY + few->y + 11), three.at(9, 11));
    const fixture::GumpArtPicture& six = itemPicture(fixture::kSampleCoinGraphic + 2);
    EXPECT_EQ(screenPixel(kWindowX + pile->x + 21, kWindowY + pile->y + 17), six.at(21, 17));
    // A hued shirt (a partially hued tile): its grey pixels take the hue's
    // colour of their intensity.
    const fixture::GumpArtPicture& cloth = itemPicture(0x1517);
    const uint16_t grey = cloth.at(5, 5);
    EXPECT_EQ(screenPixel(kWindowX + shirt->x + 5, kWindowY + shirt->y + 5),
        hueTable().entry(32).colours[size_t((grey >> 10) & 31)]);
    // An item sent at the area's left edge is shown one pixel inside it.
    EXPECT_EQ(hat->x, 45);
    // Hair (layer 11) is neither drawn nor hit.
    EXPECT_EQ(screenPixel(kWindowX + 105, kWindowY + 133), face.at(105, 133));
    EXPECT_EQ(window->itemAt(105, 133), nullptr);
    EXPECT_EQ(window->itemAt(coin->x + 5, coin->y + 5), coin);
}

TEST_F(Containers, TheHoveredItemIsDrawnInTheHighlightHue)
{
    ContainerGump* window = openBackpack();
    Item* coin = addToContainer(0x40000201, fixture::kSampleCoinGraphic, 60, 80, kBackpack, 1);
    pointAt(kWindowX + coin->x + 5, kWindowY + coin->y + 5);
    EXPECT_EQ(window->hoveredItem(), coin);
    composeAll();
    const uint16_t plain = itemPicture(fixture::kSampleCoinGraphic).at(5, 5);
    EXPECT_EQ(screenPixel(kWindowX + coin->x + 5, kWindowY + coin->y + 5),
        hueTable().entry(52).colours[size_t((plain >> 10) & 31)]);
    pointAt(10, 10);
    EXPECT_EQ(window->hoveredItem(), nullptr);
}

struct ClampCase {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t expectedX;
    int32_t expectedY;
};

class ItemArea : public Containers, public testing::WithParamInterface<ClampCase> { };

// Backpack area (44, 65)-(186, 159); a pouch picture is 14 x 14.
TEST_P(ItemArea, KeepsItemsInside)
{
    const ClampCase& c = GetParam();
    openBackpack();
    Item* pouch = addToContainer(0x40000204, fixture::kSamplePouchGraphic, c.x, c.y, kBackpack);
    EXPECT_EQ(pouch->x, c.expectedX);
    EXPECT_EQ(pouch->y, c.expectedY);
}

INSTANTIATE_TEST_SUITE_P(Cases, ItemArea,
    testing::Values(ClampCase { "inside", 100, 100, 100, 100 }, ClampCase { "on_the_left_edge", 44, 100, 45, 100 },
        ClampCase { "left_of_the_area", 0, 100, 45, 100 }, ClampCase { "touching_the_right", 172, 100, 171, 100 },
        ClampCase { "past_the_right", 400, 100, 171, 100 }, ClampCase { "on_the_top_edge", 100, 65, 100, 66 },
        ClampCase { "past_the_bottom", 100, 300, 100, 144 }),
    [](const testing::TestParamInfo<ClampCase>& c) { return std::string(c.param.name); });

TEST_F(Containers, OpeningAndClosingPlayTheSoundsOfTheirArt)
{
    ContainerGump* window = openBackpack();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(sounds.played, std::vector<int32_t>({ 72 }));
    closeGump(window);
    EXPECT_EQ(sounds.played, std::vector<int32_t>({ 72, 88 }));

    sounds.played.clear();
    auto* other = new ContainerGump(0, 0, *playerBackpack(), 1, 50, 50, 64, false);
    gumpLink(other, nullptr);
    closeGump(other);
    EXPECT_TRUE(sounds.played.empty());
    int32_t open = 0, close = 0;
    containerGumpSounds(10851, open, close);
    EXPECT_EQ(open, 391);
    EXPECT_EQ(close, 457);
}

TEST_F(Containers, ClosingAChestForgetsItsContentsButACorpseKeepsThem)
{
    openBackpack();
    addToContainer(0x40000201, fixture::kSampleCoinGraphic, 60, 80, kBackpack, 1);
    closeGump(findContainerGump(*playerBackpack()));
    EXPECT_EQ(findItemBySerial(0x40000201), nullptr);
    EXPECT_NE(findItemBySerial(kBackpack), nullptr) << "the backpack itself stays";

    const PlayerMobile* self = player();
    onObjectPacket(0x40000300, Corpse::kCorpseGraphic, 0, 400, self->x + 1, self->y, 0, 0, 0, 0);
    addToContainer(0x40000301, fixture::kSampleCoinGraphic, 60, 80, 0x40000300, 1);
    CGump* corpseWindow = openContainerGump(0x40000300, 9);
    ASSERT_NE(corpseWindow, nullptr);
    closeGump(corpseWindow);
    EXPECT_NE(findItemBySerial(0x40000301), nullptr);
}

TEST_F(Containers, AContainerThatGoesClosesItsWindow)
{
    openBackpack();
    ASSERT_NE(findContainerGump(*playerBackpack()), nullptr);
    deleteObjectBySerial(kBackpack);
    int32_t containers = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        containers += gump->is(GumpKind::ContainerGump);
    EXPECT_EQ(containers, 0);
}

// The death screen (0x2C) closes every window of a world object, the
// paperdoll too, which a close-all leaves; a window of no object stays.
TEST_F(Containers, DeathClosesEveryWindowOfAWorldObject)
{
    ContainerGump* backpack = openBackpack();
    ASSERT_NE(backpack, nullptr);
    CGump* doll = openPaperdoll(player()->serial, "", 0);
    ASSERT_NE(doll, nullptr);
    // A window of no object that a close-all leaves too.
    struct Unowned final : CGump {
        Unowned()
            : CGump(10, 10, nullptr, 1, 20, 20)
        {
        }
        bool isClosableByCloseAll() override { return false; }
    };
    auto* loose = new Unowned;
    gumpLink(loose, nullptr);
    const uint8_t died[] = { 0x2C, 0x00 };
    handleDeathScreen(died);
    EXPECT_FALSE(isValidGump(backpack));
    EXPECT_FALSE(isValidGump(doll));
    EXPECT_TRUE(isValidGump(loose));
    closeGump(loose);
}

// The bank box (the container the player wears in layer 29) closes on the
// player's next step request and when the server moves the player (0x20),
// with the services the program installs.
TEST_F(Containers, TheBankBoxClosesWhenThePlayerStepsOrIsMoved)
{
    constexpr uint32_t kBankBox = 0x40000400;
    clearPacketHandlers();
    registerProtocolHandlers();
    auto openBank = [&] {
        if (!findItemBySerial(kBankBox))
            equip(player()->serial, kBankBox, 0x0E75, ContainerGump::kBankLayer);
        return openContainerGump(kBankBox, 60);
    };
    CGump* bank = openBank();
    ASSERT_NE(bank, nullptr);
    ASSERT_EQ(bankBoxGump(), bank);
    ContainerGump* backpack = static_cast<ContainerGump*>(openContainerGump(playerBackpack()->serial, 60));
    ASSERT_NE(backpack, nullptr);
    walkByKey(3, 0, false);
    ASSERT_EQ(stepQueue().count, 1) << "the step was asked for";
    EXPECT_EQ(bankBoxGump(), nullptr);
    EXPECT_FALSE(isValidGump(bank));
    EXPECT_TRUE(isValidGump(backpack)) << "only the bank box closes";

    bank = openBank();
    ASSERT_EQ(bankBoxGump(), bank);
    const PlayerMobile* self = player();
    dispatchGamePacket(*currentGameConnection(),
        fixture::ServerPacket(0x20, fixture::ServerPacket::Length::Fixed)
            .u32(self->serial)
            .u16(self->graphic)
            .u8(0)
            .u16(0)
            .u8(0)
            .u16(uint16_t(self->x + 3))
            .u16(uint16_t(self->y))
            .u16(0)
            .u8(2)
            .u8(0)
            .bytes()
            .data());
    EXPECT_EQ(bankBoxGump(), nullptr);
    EXPECT_FALSE(isValidGump(bank));
    clearPacketHandlers();
}

// A whole list of contents (0x3C) is drawn once, when every item is in: the
// window's face does not change while the items enter.
TEST_F(Containers, ContentsArrivingTogetherAreDrawnOnceAllAreIn)
{
    ContainerGump* window = openBackpack();
    ASSERT_NE(window, nullptr);
    addToContainer(0x40000201, fixture::kSampleCoinGraphic, 70, 90, kBackpack, 1);
    const std::vector<uint16_t> before = window->page(0)->pixels;
    class Watch final : public ContainerViews {
    public:
        Watch(ContainerViews& next, ContainerGump& watched, const std::vector<uint16_t>& face)
            : m_next(next)
            , m_watched(watched)
            , m_face(face)
        {
        }
        void itemEntered(ContainerItem& container, Item& item) override
        {
            m_next.itemEntered(container, item);
            changedWhileEntering += m_watched.page(0)->pixels != m_face;
            ++entered;
        }
        void itemLeft(Item& parent, Item& item) override
        {
            m_next.itemLeft(parent, item);
            changedWhileEntering += m_watched.page(0)->pixels != m_face;
        }
        void containerDestroyed(ContainerItem& container) override { m_next.containerDestroyed(container); }
        void contentsArrived(ContainerItem& container) override
        {
            m_next.contentsArrived(container);
            ++arrived;
        }
        int32_t entered = 0;
        int32_t arrived = 0;
        int32_t changedWhileEntering = 0;

    private:
        ContainerViews& m_next;
        ContainerGump& m_watched;
        const std::vector<uint16_t>& m_face;
    };
    Watch watch(worldService<ContainerViews>(), *window, before);
    ContainerViews* previous = installWorldService<ContainerViews>(&watch);
    clearPacketHandlers();
    registerProtocolHandlers();
    fixture::ServerPacket contents(0x3C);
    contents.u16(3);
    for (uint16_t i = 0; i < 3; ++i)
        contents.u32(0x40000301 + i)
            .u16(fixture::kSampleCoinGraphic)
            .u8(0)
            .u16(uint16_t(1 + i * 5))
            .u16(uint16_t(50 + 30 * i))
            .u16(80)
            .u32(kBackpack)
            .u16(0);
    dispatchGamePacket(*currentGameConnection(), contents.bytes().data());
    installWorldService<ContainerViews>(previous);
    clearPacketHandlers();
    EXPECT_EQ(watch.entered, 3);
    EXPECT_EQ(watch.changedWhileEntering, 0) << "nothing drawn item by item";
    EXPECT_EQ(watch.arrived, 1);
    EXPECT_EQ(findItemBySerial(0x40000201), nullptr) << "the old contents were replaced";
    const std::vector<uint16_t> after = window->page(0)->pixels;
    EXPECT_NE(after, before) << "drawn once all were in";
    window->redrawWhole();
    EXPECT_EQ(window->page(0)->pixels, after) << "the whole window, as a full redraw shows it";
}

// A held item, as a pick-up leaves it.
class Drops : public Containers {
protected:
    void hold(uint32_t serial, uint16_t graphic, uint16_t amount)
    {
        DragState& held = dragState();
        held = DragState {};
        held.serial = serial;
        held.graphic = graphic;
        held.drawGraphic = graphic;
        held.amount = amount;
        held.tileFlags = tileData().item(graphic).flags;
        held.dragging = true;
    }
};

TEST_F(Drops, AtAPointNearTheRightEdgeTheItemEndsAtTheEdge)
{
    ContainerGump* window = openBackpack();
    hold(0x40000400, fixture::kSampleCoinGraphic, 1);
    takePackets();
    // The single coin is 12 x 12: dropped at x 184 it would pass 186.
    EXPECT_TRUE(window->dropAt(184, 100));
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    // 0x08 {item, x 174, y 95, z 0, container}.
    EXPECT_EQ(hexOf(sent[0]), "08 40 00 04 00 00 AE 00 5E 00 40 00 01 00");
    EXPECT_TRUE(window->dropAt(0, 0));
    EXPECT_EQ(hexOf(takePackets().at(0)), "08 40 00 04 00 00 2C 00 41 00 40 00 01 00");
}

TEST_F(Drops, IntoAPouchOnlyWhatFitsItsArea)
{
    ContainerGump* window = openBackpack();
    Item* pouch = addToContainer(0x40000204, fixture::kSamplePouchGraphic, 100, 100, kBackpack);
    hold(0x40000400, fixture::kSampleCoinGraphic, 1);
    takePackets();
    EXPECT_TRUE(window->dropAt(pouch->x + 7, pouch->y + 7));
    EXPECT_EQ(hexOf(takePackets().at(0)), "08 40 00 04 00 FF FF FF FF 00 40 00 02 04");

    // Long boards (70 wide) do not fit a shelf (an area 64 wide): refused,
    // and nothing is sent.
    Item* shelf = addToContainer(0x40000205, fixture::kSampleShelfGraphic, 60, 80, kBackpack);
    hold(0x40000401, fixture::kSampleBoardsGraphic, 1);
    EXPECT_FALSE(window->dropAt(shelf->x + 10, shelf->y + 10));
    EXPECT_TRUE(takePackets().empty());
    // The coin does fit.
    hold(0x40000400, fixture::kSampleCoinGraphic, 1);
    EXPECT_TRUE(window->dropAt(shelf->x + 10, shelf->y + 10));
    EXPECT_EQ(hexOf(takePackets().at(0)), "08 40 00 04 00 FF FF FF FF 00 40 00 02 05");
}

TEST_F(Drops, OntoAnEqualStackTheStackTakesIt)
{
    ContainerGump* window = openBackpack();
    Item* pile = addToContainer(0x40000203, fixture::kSampleCoinGraphic, 120, 80, kBackpack, 500);
    hold(0x40000400, fixture::kSampleCoinGraphic, 10);
    takePackets();
    EXPECT_TRUE(window->dropAt(pile->x + 5, pile->y + 17));
    EXPECT_EQ(hexOf(takePackets().at(0)), "08 40 00 04 00 00 78 00 50 00 40 00 02 03");
    // Coins of another hue are no equal stack: the drop lands at the point,
    // centred by the ten coins' picture (32 x 22).
    dragState().hue = 33;
    EXPECT_TRUE(window->dropAt(pile->x + 5, pile->y + 17));
    EXPECT_EQ(hexOf(takePackets().at(0)), "08 40 00 04 00 00 6D 00 56 00 40 00 01 00");
}

// A drop is placed and kept inside by the picture the player drags: a pile
// of coins by its amount art, a stack of boards by its doubled picture.
TEST_F(Drops, APileIsPlacedByThePictureItIsDraggedAs)
{
    ContainerGump* window = openBackpack();
    takePackets();
    struct Row {
        uint16_t graphic;
        uint16_t amount;
        int32_t width;
        int32_t height;
        const char* drop;
    };
    const Row rows[] = {
        { fixture::kSampleCoinGraphic, 10, 32, 22, "08 40 00 04 00 00 9A 00 89 00 40 00 01 00" },
        { fixture::kSampleBoardsGraphic, 3, 75, 15, "08 40 00 04 00 00 6F 00 8F 00 40 00 01 00" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.graphic);
        hold(0x40000400, row.graphic, row.amount);
        auto* picture = new DragGump(dragState());
        EXPECT_EQ(picture->width(), row.width);
        EXPECT_EQ(picture->height(), row.height);
        // Near the bottom right corner of the item area (186, 159): the
        // picture ends at its right edge.
        EXPECT_TRUE(window->dropAt(184, 150));
        EXPECT_EQ(hexOf(takePackets().at(0)), row.drop);
        closeGump(picture);
    }
}

} // namespace
