// The player's own windows over the sample world: the menubar and the
// actions it shares with the paperdoll, the profile window and its packet,
// the race change window, the hue control and the hue picker, and the
// equipment information popup.

#include "windows/windows_test_support.h"

#include "fixtures/language_files.h"
#include "fixtures/sample_status_art.h"
#include "gfx/hue_table.h"
#include "gump/button.h"
#include "gump/hue_control.h"
#include "gump/input_control.h"
#include "gump/toggle_control.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/general_info_packet.h"
#include "support/png_writer.h"
#include "text/cliloc_table.h"
#include "windows/equip_info_gump.h"
#include "windows/hue_gump.h"
#include "windows/menubar.h"
#include "windows/profile_gump.h"
#include "windows/race_change_gump.h"
#include "windows/status_window_services.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

class InWorld final : public GameSession {
public:
    bool isInWorld() override { return inWorld; }
    bool hasObjectPropertyLists() override { return false; }
    bool inWorld = true;
};

class OwnWindows : public windows_test::WindowDesktop {
protected:
    OwnWindows()
    {
        fillWorld();
        // The labels and texts of these windows, as the sample data set has them.
        const std::string texts = fixture::clilocImage(fixture::sampleStatusMessages());
        auto table = std::make_unique<ClilocTable>();
        table->loadBytes(reinterpret_cast<const uint8_t*>(texts.data()), texts.size());
        setClilocTable(std::move(table));
    }
    ~OwnWindows() override { setClilocTable(nullptr); }

    StatusWindowServices statusServices;
    InWorld session;
    ScopedService<GameSession> scopedSession { session };
};

// The menubar, made by the manager's composition as the program makes it.
class Menubars : public OwnWindows {
protected:
    Menubar* menubar()
    {
        composeAll();
        CGump* bar = gumpManager().menubar;
        return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
    }
    void clickButton(int32_t index)
    {
        LabelButton* button = menubar()->button(index);
        pressLeft(button->x() + 5, button->y() + 5);
        releaseLeft(button->x() + 5, button->y() + 5);
    }
};

TEST_F(Menubars, ItShowsNothingBeforeThePlayerIsInTheWorld)
{
    session.inWorld = false;
    Menubar* bar = menubar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(screenPixel(40, 10), worldPixel(40, 10));
    EXPECT_EQ(gumpHitTest(40, 10, nullptr, false) == bar, false);
    session.inWorld = true;
    composeAll();
    EXPECT_NE(screenPixel(40, 10), worldPixel(40, 10));
}

TEST(MenubarLayout, EachButtonStandsAfterTheOneBeforeAndChatHasAPlaceOfItsOwn)
{
    EXPECT_EQ(menubarButtonPositions(66, 74),
        (std::array<int32_t, 8> { 30, 96, 170, 244, 318, 384, 450, 516 }));
}

TEST_F(Menubars, ItsButtonsSendTheirRequests)
{
    playerBackpack();
    ASSERT_NE(menubar(), nullptr);
    composeAll();
    std::vector<std::string> sent;
    for (int32_t index : { 1, 2, 4, 6 }) {
        takePackets();
        clickButton(index);
        for (const Bytes& packet : takePackets())
            sent.push_back(hexOf(packet).substr(0, 29));
    }
    EXPECT_EQ(sent,
        (std::vector<std::string> { "06 80 00 12 34", "06 40 00 01 00", "34 ED ED ED ED 05 00 00 12 34",
            "9B 00 00 00 00 00 00 00 00 00" }));
}

TEST_F(Menubars, WithoutABackpackTheInventoryButtonSendsNothing)
{
    ASSERT_NE(menubar(), nullptr);
    takePackets();
    clickButton(2);
    EXPECT_TRUE(takePackets().empty());
}

TEST_F(Menubars, TheToggleFoldsTheBarToItsStub)
{
    Menubar* bar = menubar();
    ASSERT_NE(bar, nullptr);
    ToggleControl* toggle = bar->toggle();
    pressLeft(toggle->x() + 3, toggle->y() + 3);
    releaseLeft(toggle->x() + 3, toggle->y() + 3);
    EXPECT_FALSE(bar->isUnfolded());
    fillWorld();
    composeAll();
    EXPECT_EQ(screenPixel(200, 10), worldPixel(200, 10)) << "past the stub the world shows";
    EXPECT_EQ(gumpHitTest(200, 10, nullptr, false) == bar, false);
}

// The profile packet: serial, title, fixed text and profile text.
Bytes profilePacket(uint32_t serial, const std::string& title, const std::u16string& fixed, const std::u16string& text)
{
    Bytes packet { 0xB8, 0, 0 };
    for (int shift : { 24, 16, 8, 0 })
        packet.push_back(uint8_t(serial >> shift));
    packet.insert(packet.end(), title.begin(), title.end());
    packet.push_back(0);
    for (const std::u16string* part : { &fixed, &text }) {
        for (char16_t unit : *part) {
            packet.push_back(uint8_t(unit >> 8));
            packet.push_back(uint8_t(unit));
        }
        packet.push_back(0);
        packet.push_back(0);
    }
    packet[1] = uint8_t(packet.size() >> 8);
    packet[2] = uint8_t(packet.size());
    return packet;
}

class Profiles : public OwnWindows { };

TEST_F(Profiles, TheOwnProfileIsEditedAndItsNewTextGoesBackOnClose)
{
    const Bytes packet = profilePacket(player()->serial, "Brenna the Bold", u"Fixed", u"Hi");
    dispatchGamePacket(*currentGameConnection(), packet.data());
    ProfileGump* profile = findProfileGump(player()->serial);
    ASSERT_NE(profile, nullptr);
    ASSERT_TRUE(profile->isEditable());
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("profile_own.png"), shown.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(shown.data(), 640, 480, 640), 0xce4b1ff64f835a79ull) << std::hex
                                                                    << test::surfaceHash(shown.data(), 640, 480, 640);

    pressLeft(profile->x() + 100, profile->y() + 150);
    releaseLeft(profile->x() + 100, profile->y() + 150);
    ASSERT_TRUE(profile->isEditing());
    profile->onKey('!');
    profile->onKey(0xE024); // Home
    profile->onKey('>');
    EXPECT_EQ(profile->profileText(), u">Hi!");
    takePackets();
    closeGump(profile);
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "B8 00 14 01 00 00 12 34 00 01 00 04 00 3E 00 48 00 69 00 21");
}

TEST_F(Profiles, AnUnchangedOrAnotherPlayersProfileSendsNothingAndARepeatKeepsTheText)
{
    const Bytes own = profilePacket(player()->serial, "Me", u"", u"Same");
    dispatchGamePacket(*currentGameConnection(), own.data());
    const Bytes other = profilePacket(0x777, "Them", u"", u"Theirs");
    dispatchGamePacket(*currentGameConnection(), other.data());
    ProfileGump* theirs = findProfileGump(0x777);
    ASSERT_NE(theirs, nullptr);
    EXPECT_FALSE(theirs->isEditable());
    const Bytes again = profilePacket(0x777, "Them", u"", u"Replaced");
    dispatchGamePacket(*currentGameConnection(), again.data());
    EXPECT_EQ(theirs->profileText(), u"Theirs");
    takePackets();
    closeGump(findProfileGump(player()->serial));
    closeGump(theirs);
    EXPECT_TRUE(takePackets().empty());
}

TEST_F(Profiles, TheFiveHundredTwelfthCharacterIsRefused)
{
    const Bytes packet = profilePacket(player()->serial, "Me", u"", std::u16string(600, u'a'));
    dispatchGamePacket(*currentGameConnection(), packet.data());
    ProfileGump* profile = findProfileGump(player()->serial);
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->profileText().size(), ProfileGump::kMaxText) << "the server's text is cut";
    profile->startEditing();
    profile->onKey(8);
    profile->onKey('b');
    profile->onKey('c');
    EXPECT_EQ(profile->profileText().size(), ProfileGump::kMaxText);
    EXPECT_EQ(profile->profileText().back(), u'b');
}

TEST_F(Profiles, APacketCutShortAtAnyByteOpensNothing)
{
    const Bytes whole = profilePacket(0x777, "Title", u"Ab", u"Cd");
    for (size_t length = 3; length < whole.size(); ++length) {
        Bytes cut(whole.begin(), whole.begin() + ptrdiff_t(length));
        cut[1] = uint8_t(length >> 8);
        cut[2] = uint8_t(length);
        handleProfilePacket(cut.data());
        ASSERT_EQ(findProfileGump(0x777), nullptr) << "cut at " << length;
    }
    handleProfilePacket(whole.data());
    EXPECT_NE(findProfileGump(0x777), nullptr);
}

class RaceChanges : public OwnWindows { };

TEST(RaceChangeTables, TheAllowedStylesFollowTheGenderAndRace)
{
    std::vector<std::string> names;
    for (int32_t row : raceChangeHairRows(true, true))
        names.push_back(raceChangeHairTable(true)[size_t(row)].name);
    EXPECT_EQ(names, (std::vector<std::string> { "NONE", "Long Feather", "Short", "Mullet", "Flower", "Topknot",
                         "Long Braid", "Buns", "Spiked" }));
    EXPECT_EQ(raceChangeHairRows(false, false).size(), 10u) << "no buns for human males";
    EXPECT_EQ(raceChangeHairRows(false, true).size(), 11u);
}

TEST_F(RaceChanges, AFemaleElfChoosesAStyleAndAHueAndOkSendsTheFiveValues)
{
    Bytes request { 0xBF, 0, 7, 0, 0x2A, 1, 2 };
    handleGeneralInfo(request.data());
    RaceChangeGump* window = findRaceChangeGump();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isFemale());
    EXPECT_TRUE(window->isElf());
    EXPECT_EQ(window->panel(RaceChangeGump::FacialHairPanel), nullptr);
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("race_change.png"), shown.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(shown.data(), 640, 480, 640), 0xbee5872d81085050ull) << std::hex
                                                                    << test::surfaceHash(shown.data(), 640, 480, 640);

    // The fourth row of her list ("Mullet") is table row 4.
    window->hairField()->setValue(3);
    window->onControlChanged(window->hairField());
    EXPECT_EQ(window->hairGraphic(), 12226);
    window->openPanel(RaceChangeGump::HairPanel);
    HueControl* hair = window->picker(RaceChangeGump::ElfHair);
    ASSERT_TRUE(hair->isVisible());
    int32_t x = 0, y = 0;
    hair->cellCentre(1, 2, x, y);
    hair->localToScreen(x, y);
    pressLeft(x, y);
    releaseLeft(x, y);
    EXPECT_EQ(window->hairHue(), 518);
    EXPECT_FALSE(hair->isVisible());
    const int32_t skin = window->skinHue();
    takePackets();
    window->accept();
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    char expected[64];
    std::snprintf(expected, sizeof expected, "BF 00 0F 00 2A %02X %02X 2F C2 02 07 00 00 04 4E", (skin + 1) >> 8,
        (skin + 1) & 0xFF);
    EXPECT_EQ(hexOf(sent[0]), expected);
    EXPECT_EQ(findRaceChangeGump(), nullptr);
}

TEST_F(RaceChanges, ARightClickAnswersWithTheEmptySubCommand)
{
    Bytes request { 0xBF, 0, 7, 0, 0x2A, 0, 1 };
    handleGeneralInfo(request.data());
    RaceChangeGump* window = findRaceChangeGump();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isElf());
    EXPECT_NE(window->panel(RaceChangeGump::FacialHairPanel), nullptr) << "a human male has a beard panel";
    takePackets();
    pressRight(window->x() + 300, window->y() + 380);
    releaseRight(window->x() + 300, window->y() + 380);
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "BF 00 05 00 2A");
    EXPECT_EQ(findRaceChangeGump(), nullptr);
}

struct PaletteCase {
    int32_t kind;
    int32_t row;
    int32_t column;
    uint16_t hue;
};

TEST(HuePalettes, TheCellsFollowTheKindsRules)
{
    for (const PaletteCase& cell : { PaletteCase { 0, 0, 0, 1001 }, PaletteCase { 0, 7, 7, 1057 },
             PaletteCase { 1, 7, 5, 1148 }, PaletteCase { 1, 1, 0, 1102 }, PaletteCase { 3, 0, 0, 201 },
             PaletteCase { 3, 1, 0, 401 }, PaletteCase { 3, 2, 0, 801 }, PaletteCase { 3, 3, 0, 102 },
             PaletteCase { 3, 7, 0, 103 }, PaletteCase { 3, 0, 19, 296 }, PaletteCase { 6, 0, 0, 1245 },
             PaletteCase { 6, 7, 3, 997 }, PaletteCase { 7, 0, 1, 52 }, PaletteCase { 7, 8, 5, 903 } }) {
        const HueCells cells = hueControlCells(cell.kind);
        EXPECT_EQ(cells.at(cell.row, cell.column), cell.hue) << cell.kind << " " << cell.row << "," << cell.column;
    }
}

TEST_F(OwnWindows, AnElfSkinControlStartsOn904WithItsMarkOnTheFirstCellAndHoveringTellsItsOwner)
{
    struct Owner final : CGump {
        Owner()
            : CGump(0, 0, nullptr, 1, 200, 300)
        {
        }
        void onControlChanged(CGump*) override { ++changes; }
        int32_t changes = 0;
    };
    auto* owner = new Owner();
    gumpLink(owner, nullptr);
    auto* control = new HueControl(10, 10, 125, 280, 6, 3604, false);
    gumpLink(control, owner);
    EXPECT_EQ(control->value(), 904);
    EXPECT_EQ(control->selectedRow(), 0);
    EXPECT_EQ(control->selectedColumn(), 0);
    int32_t x = 0, y = 0;
    control->cellCentre(0, 0, x, y);
    EXPECT_EQ(control->page(0)->pixel(x, y), HueControl::kMarkColour);
    for (int32_t row = 0; row < 3; ++row) {
        control->cellCentre(row, 1, x, y);
        control->onMouseOver(x, y);
    }
    EXPECT_EQ(owner->changes, 3);
    EXPECT_EQ(control->value(), 864);
    closeGump(owner);
}

TEST_F(OwnWindows, TheDyePickersCornersGiveTwoAndOneThousandAndOneAndOkAnswersTheRequest)
{
    HueGump* picker = openDyePicker(0x40000777, 0x0FAB, 0x0EED);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(openDyePicker(0x40000777, 0, 0), picker) << "one picker per request";
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("hue_picker.png"), shown.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(shown.data(), 640, 480, 640), 0x5787eeadaba3abbdull) << std::hex
                                                                    << test::surfaceHash(shown.data(), 640, 480, 640);
    // Every cell shows its hue's middle colour: the top-left one at shade 1.
    EXPECT_EQ(screenPixel(picker->x() + 34, picker->y() + 34), uint16_t(hueTable().entry(2).colours[16] | 1));

    picker->setShade(0);
    EXPECT_EQ(picker->hueAt(34, 34), 2);
    picker->setShade(4);
    EXPECT_EQ(picker->hueAt(193, 113), 1001);
    EXPECT_EQ(picker->hueAt(194, 113), -1);
    pressLeft(picker->x() + 193, picker->y() + 113);
    releaseLeft(picker->x() + 193, picker->y() + 113);
    pressRight(picker->x() + 100, picker->y() + 60);
    releaseRight(picker->x() + 100, picker->y() + 60);
    ASSERT_EQ(findDyePicker(0x40000777), picker) << "a dye request cannot be cancelled";
    takePackets();
    picker->accept();
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "95 40 00 07 77 0F AB 03 E9");
}

TEST_F(OwnWindows, AnOptionsPickerHearsTheHueOrMinusOneWhenCancelled)
{
    int32_t heard = 0;
    auto* picker = new HueGump(20, 20, 4200, false, "", 102, [&heard](int32_t hue) { heard = hue; });
    gumpLink(picker, nullptr);
    EXPECT_EQ(picker->shade(), 0);
    pressRight(25, 25);
    releaseRight(25, 25);
    EXPECT_EQ(heard, -1);
    picker = new HueGump(20, 20, 4200, true, "Sample", 104, [&heard](int32_t hue) { heard = hue; });
    gumpLink(picker, nullptr);
    picker->accept();
    EXPECT_EQ(heard, 104);
}

class EquipPopups : public OwnWindows { };

struct SecondLineCase {
    bool crafter;
    std::string name;
    bool identified;
    std::vector<std::pair<uint32_t, uint16_t>> attributes;
    const char16_t* line;
};

TEST_F(EquipPopups, TheSecondLineComposesTheCrafterAndTheAttributes)
{
    const uint32_t blessed = fixture::kSampleBlessedText;
    std::vector<std::pair<uint32_t, uint16_t>> eleven(11, { blessed, 0xFFFF });
    for (const SecondLineCase& c : { SecondLineCase { false, "", true, {}, u"" },
             SecondLineCase { false, "", true, { { blessed, 0xFFFF } }, u"[blessed]" },
             SecondLineCase { false, "", true, { { blessed, 0 } }, u"[blessed: 0]" },
             SecondLineCase { true, "", true, {}, u"crafted by  " },
             SecondLineCase { true, "Tam", false, { { blessed, 1 } }, u"crafted by Tam [Unidentified]" },
             SecondLineCase { false, "", true, eleven,
                 u"[blessed/blessed/blessed/blessed/blessed/blessed/blessed/blessed/blessed/blessed]" } }) {
        EquipInfo info;
        info.hasCrafter = c.crafter;
        info.crafter = c.name;
        info.identified = c.identified;
        info.attributes = c.attributes;
        EXPECT_EQ(equipInfoSecondLine(info), std::u16string(c.line));
    }
}

TEST_F(EquipPopups, TheShirtShowsItsNameAndAttributesOverItAndANewerPopupReplacesTheOlder)
{
    Item* shirt = addItem(0x40000900, 0x1517, player()->x + 1, player()->y);
    ASSERT_NE(shirt, nullptr);
    EquipInfo info;
    info.serial = shirt->serial;
    info.nameText = fixture::kSampleShirtNameText;
    info.hasCrafter = true;
    info.crafter = "Tam";
    info.attributes = { { fixture::kSampleDurabilityText, 30 }, { fixture::kSampleBlessedText, 0xFFFF } };
    EquipInfoGump* popup = EquipInfoGump::show(info);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->firstLine(), u"a fancy shirt");
    EXPECT_EQ(popup->secondLine(), u"crafted by Tam [durability: 30/blessed]");
    composeAll();
    std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("equip_info.png"), shown.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(shown.data(), 640, 480, 640), 0xd6f4d538789df1a8ull) << std::hex
                                                                    << test::surfaceHash(shown.data(), 640, 480, 640);
    GumpHandle first(popup);
    ASSERT_NE(EquipInfoGump::show(info), nullptr);
    EXPECT_FALSE(first.get());
}

TEST_F(EquipPopups, AnItemInAClosedContainerShowsNothing)
{
    ContainerItem* pack = playerBackpack();
    Item* ring = addToContainer(0x40000901, 0x1517, 40, 40, pack->serial);
    ASSERT_NE(ring, nullptr);
    EquipInfo info;
    info.serial = ring->serial;
    info.nameText = fixture::kSampleShirtNameText;
    EXPECT_EQ(EquipInfoGump::show(info), nullptr);
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        EXPECT_FALSE(gump->is(GumpKind::EquipInfo));
}

} // namespace
