// Paperdolls over the sample world: what they draw (kept as a pixel hash,
// checked pixel by pixel against the pictures), the body table, the layer
// under the pointer, the packets of their icons, picking worn items off, and
// the preview of a held item.

#include "windows/windows_test_support.h"

#include "data/server_features.h"
#include "data/view_range.h"
#include "fixtures/sample_figures.h"
#include "fixtures/sample_window_art.h"
#include "fixtures/server_packet.h"
#include "gfx/hue_table.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "protocol/mobile_status_packets.h"
#include "support/png_writer.h"
#include "windows/drag_gump.h"
#include "windows/overhead_text.h"
#include "windows/paperdoll_gump.h"
#include "windows/window_services.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr int32_t kDollX = 40;
constexpr int32_t kDollY = 60;
constexpr uint32_t kPaperdollOther = 0x00000777;

class Paperdolls : public windows_test::WindowDesktop {
protected:
    void dress(uint32_t mobile)
    {
        uint32_t serial = 0x40000500 + (mobile & 0xFF) * 8;
        equip(mobile, serial++, fixture::kSampleShirt.graphic, 5);
        equip(mobile, serial++, fixture::kSampleTrousers.graphic, 4);
        equip(mobile, serial++, fixture::kSampleHair.graphic, 11);
        equip(mobile, serial++, fixture::kSampleHat.graphic, 6);
    }

    PaperdollGump* open(uint32_t serial, const char* title = "Lord Test the Brave")
    {
        PaperdollGump* doll = openPaperdoll(serial, title, 0);
        if (doll)
            doll->moveTo(kDollX, kDollY, true, nullptr, false);
        return doll;
    }

    static const fixture::GumpArtPicture& picture(int32_t id)
    {
        static const auto pictures = fixture::sampleWindowGumpArt();
        return pictures.at(id);
    }

    // A worn-to-be item of layer 24 whose paperdoll picture is the shirt's.
    static void makeCloakTile(uint16_t graphic)
    {
        windows_test::setTileRecord(
            graphic, windows_test::tileRecord(DragGump::kWearableFlag, 24, fixture::kSampleShirt.animation));
    }
};

TEST_F(Paperdolls, TheOwnPaperdollShowsTheDressedBodyTheSlotsAndTheButtons)
{
    playerBackpack();
    dress(player()->serial);
    PaperdollGump* doll = open(player()->serial);
    ASSERT_NE(doll, nullptr);
    ASSERT_TRUE(doll->isOwn());
    composeAll();

    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("paperdoll_own.png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0x77ec48ebde057a7full) << std::hex << hash;

    auto at = [this](int32_t x, int32_t y) { return screenPixel(kDollX + x, kDollY + y); };
    // The background, the body where nothing covers it, each garment on top.
    EXPECT_EQ(at(250, 300), picture(2000).at(250, 300));
    EXPECT_EQ(at(8 + 50, 19 + 120), picture(12).at(50, 120)) << "the arm, bare";
    EXPECT_EQ(at(8 + 90, 19 + 80), picture(50435).at(90, 80)) << "the shirt over the body";
    EXPECT_EQ(at(8 + 70, 19 + 200), picture(50436).at(70, 200)) << "the trousers";
    EXPECT_EQ(at(8 + 90, 19 + 3), picture(50438).at(90, 3)) << "the hat over the hair";
    EXPECT_EQ(at(8 + 146, 19 + 92), picture(50439).at(146, 92)) << "the backpack";
    EXPECT_EQ(at(3 + 146 - 5 + 5, 19 + 92), picture(50439).at(146, 92)) << "drawn at x 3";
    // The hat's item picture (18 x 12) centred in the first slot (layer 6).
    static const auto items = fixture::sampleWindowItemArt();
    EXPECT_EQ(at(2 + 5, 78 + 5), items.at(0x4000 + fixture::kSampleHat.graphic).at(5, 5));
    // The status button of every paperdoll and the help button of the own.
    EXPECT_EQ(at(185 + 20, 233 + 3), picture(2027).at(20, 3));
    EXPECT_EQ(at(185 + 20, 44 + 3), picture(2031).at(20, 3));
    ASSERT_NE(doll->warButton(), nullptr);
}

TEST_F(Paperdolls, AnotherMobilesPaperdollHasOnlyTheStatusButton)
{
    addMobile(kPaperdollOther, player()->x + 1, player()->y, 401);
    dress(kPaperdollOther);
    PaperdollGump* doll = open(kPaperdollOther, "Lady Other");
    ASSERT_NE(doll, nullptr);
    EXPECT_FALSE(doll->isOwn());
    int32_t buttons = 0;
    for (CGump* child = doll->firstChild(); child; child = child->next())
        ++buttons;
    EXPECT_EQ(buttons, 1);
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("paperdoll_other.png"), shown.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(shown.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0x612abb3132ddc2d7ull) << std::hex << hash;
    // The woman's body, on the other background.
    EXPECT_EQ(screenPixel(kDollX + 250, kDollY + 300), picture(2001).at(250, 300));
    EXPECT_EQ(screenPixel(kDollX + 8 + 50, kDollY + 19 + 120), picture(13).at(50, 120));
}

// A mobile keeps the sex and race its status record gave: a woman of body
// 987 is drawn with the woman's body.
TEST_F(Paperdolls, TheStatusRecordsSexDecidesTheBodyOfAnUnlistedBody)
{
    addMobile(kPaperdollOther, player()->x + 1, player()->y, 987);
    fixture::ServerPacket status(0x11);
    status.u32(kPaperdollOther).text("Gm", 30).u16(40).u16(50).u8(0).u8(1);
    status.u8(1).u16(50).u16(50).u16(50).u16(1).u16(1).u16(1).u16(1).u32(0).u16(0).u16(0);
    handleStatusInfo(status.bytes().data());
    PaperdollGump* doll = open(kPaperdollOther, "Lady Gm");
    ASSERT_NE(doll, nullptr);
    composeAll();
    ASSERT_NE(picture(13).at(58, 150), picture(12).at(58, 150));
    EXPECT_EQ(screenPixel(kDollX + 8 + 58, kDollY + 19 + 150), picture(13).at(58, 150)) << "the woman's body";
}

struct BodyCase {
    int32_t body;
    bool female;
    int32_t race;
    int32_t picture;
    int32_t base;
    bool ghost;
};

class BodyTable : public testing::TestWithParam<BodyCase> { };

TEST_P(BodyTable, GivesPictureBaseBodyAndGhostLikeness)
{
    const BodyCase& c = GetParam();
    PaperdollBody body = paperdollBodyFor(c.body, c.female, c.race);
    EXPECT_EQ(body.picture, c.picture);
    EXPECT_EQ(body.base, c.base);
    EXPECT_EQ(body.ghost, c.ghost);
}

INSTANTIATE_TEST_SUITE_P(Bodies, BodyTable,
    testing::Values(BodyCase { 400, false, 1, 12, 400, false }, BodyCase { 401, false, 1, 13, 401, false },
        BodyCase { 744, false, 1, 12, 400, false }, BodyCase { 745, false, 1, 13, 401, false },
        BodyCase { 402, false, 1, 12, 400, true }, BodyCase { 403, false, 1, 13, 401, true },
        BodyCase { 605, false, 1, 14, 605, false }, BodyCase { 606, false, 1, 15, 606, false },
        BodyCase { 607, false, 1, 14, 605, true }, BodyCase { 608, false, 1, 15, 606, true },
        BodyCase { 987, true, 1, 13, 401, false }, BodyCase { 987, false, 2, 12, 400, false },
        BodyCase { 300, true, 2, 15, 606, false }, BodyCase { 300, false, 1, 12, 400, false }),
    [](const testing::TestParamInfo<BodyCase>& c) {
        return "body" + std::to_string(c.param.body) + (c.param.female ? "_female" : "") + "_race"
            + std::to_string(c.param.race);
    });

TEST_F(Paperdolls, TheLayerUnderThePointerIsTheTopmostWornPicture)
{
    playerBackpack();
    dress(player()->serial);
    PaperdollGump* doll = open(player()->serial);
    ASSERT_NE(doll, nullptr);
    EXPECT_EQ(doll->itemSlotAt(8 + 90, 19 + 80, false), 5) << "the shirt";
    EXPECT_EQ(doll->itemSlotAt(8 + 70, 19 + 200, false), 4) << "the trousers";
    EXPECT_EQ(doll->itemSlotAt(8 + 90, 19 + 3, false), 6) << "the hat";
    EXPECT_EQ(doll->itemSlotAt(8 + 90, 19 + 14, false), -1) << "hair (layer 11) is never hit";
    EXPECT_EQ(doll->itemSlotAt(8 + 146, 19 + 92, false), -1) << "the backpack only when asked for";
    EXPECT_EQ(doll->itemSlotAt(3 + 146, 19 + 92, true), 21);
    // The first slot (layer 6): its frame less 2 pixels on each side.
    EXPECT_EQ(doll->itemSlotAt(4, 77, false), 6);
    EXPECT_EQ(doll->itemSlotAt(18, 91, false), 6);
    EXPECT_EQ(doll->itemSlotAt(3, 80, false), -1);
    EXPECT_EQ(doll->itemSlotAt(10, 98, false), -1) << "the second slot's layer (18) is empty";
    doll->minimize();
    EXPECT_EQ(doll->itemSlotAt(8 + 90, 19 + 80, false), -1);
}

TEST_F(Paperdolls, TheVirtueAndProfileIconsSendTheirRequests)
{
    addMobile(kPaperdollOther, player()->x + 1, player()->y, 400);
    open(kPaperdollOther);
    takePackets();
    for (int i = 0; i < 2; ++i) {
        pressLeft(kDollX + 90, kDollY + 10);
        releaseLeft(kDollX + 90, kDollY + 10);
    }
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    // 0xB1: the player, gump 461, button 1, one switch: the other mobile.
    EXPECT_EQ(hexOf(sent[0]), "B1 00 17 00 00 12 34 00 00 01 CD 00 00 00 01 00 00 00 01 00 00 07 77");
    advance(600);
    for (int i = 0; i < 2; ++i) {
        pressLeft(kDollX + 25, kDollY + 200);
        releaseLeft(kDollX + 25, kDollY + 200);
    }
    sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "B8 00 08 00 00 00 07 77");
}

TEST_F(Paperdolls, AWornItemIsPickedUpByAFivePixelMoveNotByFour)
{
    dress(player()->serial);
    PaperdollGump* doll = open(player()->serial);
    ASSERT_NE(doll, nullptr);
    takePackets();
    const int32_t x = kDollX + 8 + 90;
    const int32_t y = kDollY + 19 + 80;
    pressLeft(x, y);
    pointAt(x + 4, y - 4);
    EXPECT_EQ(dragGump(), nullptr);
    EXPECT_TRUE(takePackets().empty());
    pointAt(x + 5, y);
    ASSERT_NE(dragGump(), nullptr);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    // 0x07 pick up the shirt (worn items carry no amount).
    EXPECT_EQ(hexOf(sent[0]), "07 40 00 06 A0 00 00");
    EXPECT_EQ(player()->layerItem(5), nullptr);
}

TEST_F(Paperdolls, AClickAsksForTheNameOnlyAfterTheDoubleClickTime)
{
    dress(player()->serial);
    open(player()->serial);
    storeCharacterListFlags(1u << 3);
    takePackets();
    const int32_t x = kDollX + 8 + 90;
    const int32_t y = kDollY + 19 + 80;
    pressLeft(x, y);
    releaseLeft(x, y);
    pointAt(x, y);
    EXPECT_TRUE(takePackets().empty());
    advance(501);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(hexOf(sent[0]), "BF 00 09 00 13 40 00 06 A0") << "the context menu, menus being on";
    EXPECT_EQ(hexOf(sent[1]), "09 40 00 06 A0") << "then the name";
    storeCharacterListFlags(0);
}

TEST_F(Paperdolls, AHeldWearableItemIsPreviewedAndHidesWhatItCovers)
{
    dress(player()->serial);
    PaperdollGump* doll = open(player()->serial);
    ASSERT_NE(doll, nullptr);
    constexpr uint16_t kCloak = 0x3100;
    makeCloakTile(kCloak);
    Item* cloak = addItem(0x40000600, kCloak, player()->x + 1, player()->y);
    ASSERT_NE(cloak, nullptr);
    pickUpItem(*cloak, 0);
    ASSERT_NE(dragGump(), nullptr);
    EXPECT_EQ(equipLayerFor(kCloak), 24);
    // Over the paperdoll, whose layer 24 is free: previewed there.
    pointAt(kDollX + 120, kDollY + 150);
    EXPECT_EQ(doll->pressedLayer(), 24);
    EXPECT_EQ(dragGump()->paperdollTarget(), doll);
    closeGump(dragGump());
    // The drag picture is gone: draw the paperdoll alone with the preview.
    doll->setPressedLayer(24);
    dragState().dragging = true;
    doll->render();
    composeAll();
    auto at = [this](int32_t x, int32_t y) { return screenPixel(kDollX + x, kDollY + y); };
    // Layer 24 covers the trousers (layer 4): the legs show bare, and the
    // preview (the shirt's picture) lies half over the body.
    EXPECT_EQ(at(8 + 70, 19 + 200), picture(12).at(70, 200));
    const uint16_t under = picture(50435).at(90, 80);
    EXPECT_NE(at(8 + 90, 19 + 80), under) << "blended, not copied";
    dragState() = DragState {};
}

TEST_F(Paperdolls, ADroppedWearableItemIsWornThroughTheWearRequest)
{
    PaperdollGump* doll = open(player()->serial);
    ASSERT_NE(doll, nullptr);
    constexpr uint16_t kCloak = 0x3100;
    makeCloakTile(kCloak);
    Item* cloak = addItem(0x40000600, kCloak, player()->x + 1, player()->y);
    pickUpItem(*cloak, 0);
    takePackets();
    pointAt(kDollX + 120, kDollY + 150);
    releaseLeft(kDollX + 120, kDollY + 150);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    // 0x13 {item, layer 24, the player}.
    EXPECT_EQ(hexOf(sent[0]), "13 40 00 06 00 18 00 00 12 34");
    EXPECT_EQ(dragGump(), nullptr);
    EXPECT_EQ(doll->pressedLayer(), -1);
}

TEST_F(Paperdolls, TheDeadCannotUseWornItems)
{
    dress(player()->serial);
    open(player()->serial);
    player()->deadFlag = 1;
    takePackets();
    const int32_t x = kDollX + 8 + 90;
    const int32_t y = kDollY + 19 + 80;
    for (int i = 0; i < 2; ++i) {
        pressLeft(x, y);
        releaseLeft(x, y);
    }
    EXPECT_TRUE(takePackets().empty());
    BarkGump* text = newestText(player());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "I am dead and cannot do that.");
    player()->deadFlag = 0;
}

struct ButtonCase {
    const char* name;
    int32_t y;
    const char* packet;
};

class PaperdollButtons : public Paperdolls, public testing::WithParamInterface<ButtonCase> { };

// The own paperdoll's buttons (all at x 185) and what each sends.
TEST_P(PaperdollButtons, SendTheirRequests)
{
    const ButtonCase& c = GetParam();
    open(player()->serial);
    takePackets();
    warModeState() = WarModeState {};
    const int32_t x = kDollX + 185 + 30;
    const int32_t y = kDollY + c.y + 4;
    pointAt(x, y);
    pressLeft(x, y);
    releaseLeft(x, y);
    std::vector<Bytes> sent = takePackets();
    // The war mode request goes through the session's requests.
    EXPECT_EQ(warModeState().warModeRequested, std::string(c.name) == "war_peace" ? 1 : -1);
    if (!*c.packet) {
        EXPECT_TRUE(sent.empty());
        return;
    }
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]).substr(0, std::string(c.packet).size()), c.packet);
}

INSTANTIATE_TEST_SUITE_P(Own, PaperdollButtons,
    testing::Values(ButtonCase { "status", 233, "34 ED ED ED ED 04 00 00 12 34" },
        ButtonCase { "skills", 151, "34 ED ED ED ED 05 00 00 12 34" },
        ButtonCase { "guild", 179, "D7 00 0A 00 00 12 34 00 28 0A" },
        ButtonCase { "quests", 124, "D7 00 0A 00 00 12 34 00 32 0A" }, ButtonCase { "help", 44, "9B 00 00 00 00" },
        ButtonCase { "war_peace", 205, "" }, ButtonCase { "options", 71, "" },
        ButtonCase { "log_out", 98, "" }),
    [](const testing::TestParamInfo<ButtonCase>& c) { return std::string(c.param.name); });

TEST_F(Paperdolls, TheOwnPaperdollTakesThePendingDesktopPosition)
{
    // A desktop file of the player's with the paperdoll at (123, 45), not
    // minimised: the serial, then type 0, x and y (little-endian), flag.
    std::vector<uint8_t> layout;
    auto put32 = [&layout](uint32_t value) {
        for (int32_t shift = 0; shift < 32; shift += 8)
            layout.push_back(uint8_t(value >> shift));
    };
    put32(player()->serial);
    layout.push_back(0);
    put32(123);
    put32(45);
    layout.push_back(0);
    ASSERT_TRUE(desktopRead(layout));
    addMobile(kPaperdollOther, player()->x + 1, player()->y, 400);
    PaperdollGump* other = openPaperdoll(kPaperdollOther, "", 0);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other->x(), 123) << "the stored place is the player's own paperdoll's";
    PaperdollGump* own = openPaperdoll(player()->serial, "", 0);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->x(), 123);
    EXPECT_EQ(own->y(), 45);
    EXPECT_FALSE(desktopTakePending(DesktopRecordType::kPaperdoll, player()->serial)) << "taken once";
    desktopReset();
}

// The server's open-paperdoll packet (0x88): a serial, a 60-byte title that
// may fill its field without a terminator, and flags of which only bit 1
// lets items be taken off another mobile's paperdoll.
std::vector<uint8_t> openPaperdollBytes(uint32_t serial, const std::string& title, uint8_t flags)
{
    std::vector<uint8_t> packet { 0x88, uint8_t(serial >> 24), uint8_t(serial >> 16), uint8_t(serial >> 8),
        uint8_t(serial) };
    std::string field = title.substr(0, 60);
    field.resize(60, '\0');
    packet.insert(packet.end(), field.begin(), field.end());
    packet.push_back(flags);
    return packet;
}

struct OpenPaperdollCase {
    const char* name;
    uint8_t flags;
    bool liftAllowed;
};

class OpenPaperdollPacket : public Paperdolls, public testing::WithParamInterface<OpenPaperdollCase> { };

TEST_P(OpenPaperdollPacket, OpensTheMobilesPaperdollAndOnlyBitOneLetsItemsBeTakenOff)
{
    Mobile* other = addMobile(kPaperdollOther, player()->x + 1, player()->y, 400);
    ASSERT_NE(other, nullptr);
    const std::string title(60, 'T'); // fills the field: no terminator
    // The window keeps its longest title.
    const std::vector<uint8_t> packet = openPaperdollBytes(kPaperdollOther, title, GetParam().flags);
    ASSERT_EQ(packet.size(), 66u);
    handleOpenPaperdoll(packet.data());
    PaperdollGump* doll = findPaperdoll(*other);
    ASSERT_NE(doll, nullptr);
    EXPECT_EQ(doll->title(), title.substr(0, PaperdollGump::kTitleMaxLength));
    EXPECT_EQ(doll->isLiftAllowed(), GetParam().liftAllowed);
}

INSTANTIATE_TEST_SUITE_P(Flags, OpenPaperdollPacket,
    testing::Values(OpenPaperdollCase { "none", 0, false }, OpenPaperdollCase { "war_mode_bit", 1, false },
        OpenPaperdollCase { "lift_bit", 2, true }, OpenPaperdollCase { "both", 3, true }),
    [](const testing::TestParamInfo<OpenPaperdollCase>& c) { return std::string(c.param.name); });

TEST_F(Paperdolls, OpenPaperdollOnAnOpenOneLetsItemsBeTakenOffWithoutASecondWindow)
{
    Mobile* other = addMobile(kPaperdollOther, player()->x + 1, player()->y, 400);
    ASSERT_NE(other, nullptr);
    handleOpenPaperdoll(openPaperdollBytes(kPaperdollOther, "Visitor", 0).data());
    PaperdollGump* first = findPaperdoll(*other);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isLiftAllowed());
    handleOpenPaperdoll(openPaperdollBytes(kPaperdollOther, "Visitor the Bold", 2).data());
    EXPECT_EQ(findPaperdoll(*other), first);
    EXPECT_TRUE(first->isLiftAllowed());
    EXPECT_EQ(first->title(), "Visitor the Bold");
    handleOpenPaperdoll(openPaperdollBytes(kPaperdollOther, "Visitor the Bold", 0).data());
    EXPECT_FALSE(first->isLiftAllowed()) << "a later packet without the bit takes the permission back";
    int32_t dolls = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        dolls += gump->is(GumpKind::Paperdoll);
    EXPECT_EQ(dolls, 1);
}

TEST_F(Paperdolls, OpenPaperdollForAnUnknownSerialOrAnItemOpensNothing)
{
    for (uint32_t serial : { 0x00000999u, 0x40000999u }) {
        handleOpenPaperdoll(openPaperdollBytes(serial, "Nobody", 2).data());
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            EXPECT_FALSE(gump->is(GumpKind::Paperdoll));
    }
}

} // namespace
