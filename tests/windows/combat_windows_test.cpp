// The combat ability book and the fighting style window: the book's page
// map, its index clicks and icons, the weapon abilities it switches; the
// fighting style window's radio buttons, sliders and the war-mode request it
// sends; both kept by the desktop file, and both drawn where their layout
// puts them.
#include "windows/windows_test_support.h"

#include "data/client_services.h"
#include "data/server_features.h"
#include "data/view_range.h"
#include "fixtures/sample_spell_art.h"
#include "fixtures/server_packet.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/thumb.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "protocol/server_requests.h"
#include "support/png_writer.h"
#include "text/ascii_font.h"
#include "windows/ability_book_gump.h"
#include "windows/fighting_style_gump.h"
#include "windows/icon_gumps.h"
#include "windows/spell_table.h"
#include "windows/spell_window_services.h"
#include "windows/weapon_abilities.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kCombatSword = 0x40000C02;

class CombatWindows : public windows_test::WindowDesktop {
protected:
    CombatWindows()
    {
        initSpellTables();
        resetWeaponAbilities();
        warModeState() = WarModeState {};
        clearPacketHandlers();
        registerProtocolHandlers();
        previousRequests = installServerRequests(&requests);
        spellServices = std::make_unique<SpellWindowServices>();
        equip(player()->serial, kCombatSword, fixture::kSampleSwordGraphic, Mobile::kHandLayerOne);
        updateWeaponAbilities();
    }
    ~CombatWindows() override
    {
        while (CGump* gump = gumpListHead())
            closeGump(gump);
        spellServices.reset();
        installServerRequests(previousRequests);
        clearPacketHandlers();
        resetWeaponAbilities();
        warModeState() = WarModeState {};
        desktopReset();
    }
    // Presses at a point of a window: `count` quick clicks, then the
    // double-click time passes.
    void clickAt(CGump& window, int32_t x, int32_t y, int32_t count = 1)
    {
        window.localToScreen(x, y);
        for (int32_t press = 0; press < count; ++press) {
            pointAt(x, y);
            pressLeft(x, y);
            advance(40);
            pointAt(x, y);
            releaseLeft(x, y);
            advance(40);
        }
        advance(600);
        pointAt(x, y);
    }
    // A press at a point of the window, a drag to a screen point, a release.
    void dragFrom(CGump& window, int32_t x, int32_t y, int32_t toX, int32_t toY)
    {
        window.localToScreen(x, y);
        pointAt(x, y);
        pressLeft(x, y);
        advance(40);
        pointAt(x + 8, y + 8);
        pointAt(toX, toY);
        releaseLeft(toX, toY);
        advance(600);
        pointAt(toX, toY);
    }
    static int32_t listRowHeight()
    {
        int32_t width = 0, height = 0, baseline = 0;
        measureAsciiText(9, "Aq", width, height, baseline);
        return height;
    }
    static size_t openOf(GumpKind kind)
    {
        size_t count = 0;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            count += gump->is(kind) ? 1 : 0;
        return count;
    }
    static std::string abilityPacket(int32_t ability)
    {
        const uint32_t serial = player()->serial;
        char text[80];
        std::snprintf(text, sizeof text, "D7 00 0F %02X %02X %02X %02X 00 19 00 00 00 00 %02X 0A",
            unsigned(serial >> 24), unsigned(serial >> 16 & 0xFF), unsigned(serial >> 8 & 0xFF),
            unsigned(serial & 0xFF), unsigned(ability));
        return text;
    }

    NetServerRequests requests;
    ServerRequests* previousRequests = nullptr;
    std::unique_ptr<SpellWindowServices> spellServices;
};

// The ability book.

TEST_F(CombatWindows, TheBookOpensByKindOnceAndMapsItsPages)
{
    CGump* opened = gumpOpenByKind(nullptr, gump_kind::kAbilityBook, nullptr, false, false);
    ASSERT_NE(opened, nullptr);
    ASSERT_TRUE(opened->is(GumpKind::AbilityBook));
    EXPECT_EQ(gumpOpenByKind(nullptr, gump_kind::kAbilityBook, nullptr, false, false), opened);
    EXPECT_EQ(openOf(GumpKind::AbilityBook), 1u);
    EXPECT_EQ(gumpListHead(), opened) << "linked on top";
    auto* book = static_cast<AbilityBookGump*>(opened);
    EXPECT_EQ(book->spread(), 1);
    EXPECT_EQ(book->height(), fixture::kSampleSpellbookHeight + 20);
    EXPECT_EQ(sounds.played, std::vector<int32_t> { 85 });

    // Rows: the names start below y 43, nine on the left, four on the right.
    const int32_t row = listRowHeight();
    EXPECT_EQ(book->abilityAtPoint(60, 43), 1);
    EXPECT_EQ(book->abilityAtPoint(60, 43 + 8 * row), 9);
    EXPECT_EQ(book->abilityAtPoint(60, 43 + 9 * row), 0) << "no tenth row on the left";
    EXPECT_EQ(book->abilityAtPoint(220, 43 + 3 * row), 13);
    EXPECT_EQ(book->abilityAtPoint(220, 43 + 4 * row), 0) << "no fifth row on the right";
    // Above the first row there is no row, not the first one.
    EXPECT_EQ(book->abilityAtPoint(60, 42), 0);
    EXPECT_EQ(book->abilityAtPoint(60, 10), 0);
    EXPECT_EQ(book->abilityAtPoint(205, 50), 0) << "between the pages";

    // The third index spread lists only 27, 28 and 29, on its left page.
    book->turnTo(5);
    EXPECT_EQ(book->abilityAtPoint(60, 43), 27);
    EXPECT_EQ(book->abilityAtPoint(60, 43 + 2 * row), 29);
    EXPECT_EQ(book->abilityAtPoint(60, 43 + 3 * row), 0);
    EXPECT_EQ(book->abilityAtPoint(220, 43), 0);

    // A click on Force of Nature turns to its spread, pages 63 and 64.
    clickAt(*book, 60, 43 + 2 * row + 2);
    EXPECT_EQ(book->spread(), 63);
    EXPECT_EQ(book->shownAbility(), 29);
    // Even and outside page numbers show the spread that holds them.
    book->turnTo(64);
    EXPECT_EQ(book->spread(), 63);
    book->turnTo(200);
    EXPECT_EQ(book->spread(), 63);
    book->turnTo(-3);
    EXPECT_EQ(book->spread(), 1);
}

TEST_F(CombatWindows, TheCornersTurnAndJump)
{
    AbilityBookGump* book = AbilityBookGump::open();
    ASSERT_NE(book, nullptr);
    sounds.played.clear();
    clickAt(*book, 321 + 4, 8 + 4);
    EXPECT_EQ(book->spread(), 3);
    clickAt(*book, 321 + 4, 8 + 4, 2);
    EXPECT_EQ(book->spread(), 63);
    clickAt(*book, 321 + 4, 8 + 4);
    EXPECT_EQ(book->spread(), 63) << "no next corner on the last spread";
    clickAt(*book, 50 + 4, 8 + 4);
    EXPECT_EQ(book->spread(), 61);
    clickAt(*book, 50 + 4, 8 + 4, 2);
    EXPECT_EQ(book->spread(), 1);
    EXPECT_EQ(sounds.played.size(), 4u) << "one turn sound per turn and per jump";
    // The strip at the left edge lays it down, a double click stands it up.
    clickAt(*book, 10, 105);
    EXPECT_TRUE(book->isMinimised());
    clickAt(*book, 10, 10, 2);
    EXPECT_FALSE(book->isMinimised());
    // A right click closes it.
    int32_t x = 120, y = 60;
    book->localToScreen(x, y);
    pointAt(x, y);
    pressRight(x, y);
    releaseRight(x, y);
    EXPECT_EQ(AbilityBookGump::current(), nullptr);
}

TEST_F(CombatWindows, ADoubleClickOnAWeaponIconSwitchesItsAbility)
{
    // The sword's abilities: Armor Ignore (1) and Concussion Blow (3).
    EXPECT_EQ(currentPrimaryAbility(), 1);
    EXPECT_EQ(currentSecondaryAbility(), 3);
    AbilityBookGump* book = AbilityBookGump::open();
    takePackets();
    clickAt(*book, AbilityBookGump::kIconX + 5, AbilityBookGump::kSecondaryIconY + 5, 2);
    EXPECT_EQ(activeWeaponAbility(), 3);
    clickAt(*book, AbilityBookGump::kIconX + 5, AbilityBookGump::kPrimaryIconY + 5, 2);
    EXPECT_EQ(activeWeaponAbility(), 1);
    clickAt(*book, AbilityBookGump::kIconX + 5, AbilityBookGump::kPrimaryIconY + 5, 2);
    EXPECT_EQ(activeWeaponAbility(), 0);
    // A single click on an icon does nothing.
    clickAt(*book, AbilityBookGump::kIconX + 5, AbilityBookGump::kPrimaryIconY + 5);
    const std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(hexOf(sent[0]), abilityPacket(3));
    EXPECT_EQ(hexOf(sent[1]), abilityPacket(1));
    EXPECT_EQ(hexOf(sent[2]), abilityPacket(0)) << "the second switch of the same ability clears it";
    EXPECT_EQ(book->spread(), 1);

    // Tooltips: the icons' names on the index, the description on a spread.
    EXPECT_EQ(book->tooltipIdAt(AbilityBookGump::kIconX + 5, AbilityBookGump::kSecondaryIconY + 5),
        abilityNameCliloc(3));
    EXPECT_EQ(book->tooltipIdAt(60, 60), -1);
    book->turnTo(2 * 7 + 5);
    EXPECT_EQ(book->tooltipIdAt(60, 40), abilityDescriptionCliloc(7));
    EXPECT_EQ(book->tooltipIdAt(AbilityBookGump::kIconX + 5, AbilityBookGump::kPrimaryIconY + 5), -1);
}

TEST_F(CombatWindows, AWeaponIconDraggedOffTheIndexBecomesOneAbilityIcon)
{
    AbilityBookGump* book = AbilityBookGump::open();
    book->moveTo(40, 40, true, nullptr, false);
    dragFrom(*book, AbilityBookGump::kIconX + 5, AbilityBookGump::kPrimaryIconY + 5, 600, 400);
    ASSERT_EQ(openOf(GumpKind::AbilityIcon), 1u);
    IconGump* icon = findIconGump(GumpKind::AbilityIcon, AbilityIconGump::kPrimary);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->x() + icon->width() / 2, 600) << "the icon carries on the drag";
    EXPECT_EQ(book->x(), 40) << "the book stays";
    EXPECT_EQ(capture(), nullptr);
    // The second drag raises the icon there is.
    book->bringToFront(false);
    dragFrom(*book, AbilityBookGump::kIconX + 5, AbilityBookGump::kPrimaryIconY + 5, 500, 300);
    EXPECT_EQ(openOf(GumpKind::AbilityIcon), 1u);
    EXPECT_EQ(gumpListHead(), icon);
    // The secondary makes its own; elsewhere a drag moves the book.
    dragFrom(*book, AbilityBookGump::kIconX + 5, AbilityBookGump::kSecondaryIconY + 5, 300, 420);
    EXPECT_EQ(openOf(GumpKind::AbilityIcon), 2u);
    int32_t pressX = 120, pressY = 60;
    book->localToScreen(pressX, pressY);
    dragFrom(*book, 120, 60, pressX + 60, pressY + 40);
    EXPECT_EQ(book->x(), 40 + 60);
    EXPECT_EQ(book->y(), 40 + 40);
    // On an ability's spread nothing drags out: the book moves.
    book->turnTo(9);
    pressX = 60, pressY = 40;
    book->localToScreen(pressX, pressY);
    dragFrom(*book, 60, 40, pressX + 100, pressY);
    EXPECT_EQ(openOf(GumpKind::AbilityIcon), 2u);
    EXPECT_EQ(book->x(), 100 + 100);
}

TEST_F(CombatWindows, TheDesktopFileKeepsTheBookWhereItLayOpen)
{
    AbilityBookGump* book = AbilityBookGump::open();
    book->moveTo(30, 50, true, nullptr, false);
    book->turnTo(11);
    const std::vector<uint8_t> layout = desktopLayoutBytes();
    while (CGump* gump = gumpListHead())
        closeGump(gump);
    desktopReset();
    ASSERT_TRUE(desktopRead(layout));
    AbilityBookGump* kept = AbilityBookGump::current();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->x(), 30);
    EXPECT_EQ(kept->y(), 50);
    EXPECT_EQ(kept->spread(), 11);
    EXPECT_EQ(kept->shownAbility(), 3);
}

// The fighting style window.

TEST_F(CombatWindows, TheStyleButtonsActAsRadioButtonsAndShowTheSliders)
{
    // Style 4 at start: the first style.
    FightingStyleGump* window = FightingStyleGump::restoreAt(60, 40, false);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->x(), 60);
    EXPECT_EQ(window->firstStyleToggle()->currentPage(), 1);
    EXPECT_EQ(window->secondStyleToggle()->currentPage(), 0);
    EXPECT_FALSE(window->thumbA()->isVisible());
    EXPECT_FALSE(window->thumbB()->isVisible());
    // The checked one stays checked.
    clickAt(*window, 85 + 5, 64 + 5);
    EXPECT_EQ(window->firstStyleToggle()->currentPage(), 1);
    EXPECT_FALSE(window->secondStyleChosen());
    // The nudges do nothing while the sliders are hidden.
    const int32_t thumbX = window->thumbA()->x();
    clickAt(*window, 200, 112);
    EXPECT_EQ(window->thumbA()->x(), thumbX);
    // The other one checks itself and unchecks the first; the sliders show.
    clickAt(*window, 151 + 5, 64 + 5);
    EXPECT_TRUE(window->secondStyleChosen());
    EXPECT_EQ(window->firstStyleToggle()->currentPage(), 0);
    EXPECT_TRUE(window->thumbA()->isVisible());
    EXPECT_TRUE(window->thumbB()->isVisible());
    clickAt(*window, 200, 112);
    EXPECT_EQ(window->thumbA()->x(), thumbX + 1);
    clickAt(*window, 84, 155);
    EXPECT_EQ(window->thumbB()->x(), thumbX) << "not past the track's start";
    // The default button goes back to the first style.
    clickAt(*window, 151 + 5, 177 + 5);
    EXPECT_FALSE(window->secondStyleChosen());
    EXPECT_EQ(window->firstStyleToggle()->currentPage(), 1);
    EXPECT_FALSE(window->thumbA()->isVisible());
}

TEST_F(CombatWindows, ApplySendsTheStyleAndTheThumbValuesAfterTheWarFlag)
{
    warModeState().trailing = { 1, 0, 100 };
    FightingStyleGump* window = FightingStyleGump::restoreAt(60, 40, false);
    Thumb& a = *window->thumbA();
    Thumb& b = *window->thumbB();
    EXPECT_EQ(a.x(), a.minX());
    EXPECT_EQ(b.x(), b.maxX());
    EXPECT_EQ(b.maxX(), FightingStyleGump::kTrackEnd - a.width());
    EXPECT_EQ(FightingStyleGump::thumbValue(a), 0);
    EXPECT_EQ(FightingStyleGump::thumbValue(b), 100);
    a.setLocation(a.minX() + (a.maxX() - a.minX()) / 4, a.y());
    const int32_t quarter = (a.x() - a.minX()) * 100 / (a.maxX() - a.minX());
    takePackets();
    clickAt(*window, 88 + 5, 178 + 5);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    char expected[32];
    std::snprintf(expected, sizeof expected, "72 00 01 %02X 64", unsigned(quarter));
    EXPECT_EQ(hexOf(sent[0]), expected);
    EXPECT_EQ(warModeState().trailing, (std::array<uint8_t, 3> { 1, uint8_t(quarter), 100 }));
    EXPECT_NE(FightingStyleGump::current(), nullptr) << "apply leaves the window open";

    // OK with the first style sends style 0 and the two values, and closes.
    clickAt(*window, 151 + 5, 177 + 5);
    clickAt(*window, 213 + 5, 177 + 5);
    sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    std::snprintf(expected, sizeof expected, "72 00 00 %02X 64", unsigned(quarter));
    EXPECT_EQ(hexOf(sent[0]), expected);
    EXPECT_EQ(FightingStyleGump::current(), nullptr);

    // The server's war mode replaces the values; the next window shows them.
    const Bytes warMode = ServerPacket(0x72, ServerPacket::Length::Fixed).u8(1).u8(1).u8(50).u8(0).bytes();
    dispatchGamePacket(*currentGameConnection(), warMode.data());
    EXPECT_EQ(FightingStyleGump::current(), nullptr) << "the war mode opens nothing";
    window = FightingStyleGump::restoreAt(0, 0, false);
    EXPECT_TRUE(window->secondStyleChosen());
    EXPECT_EQ(FightingStyleGump::thumbValue(*window->thumbA()), 50);
    clickAt(*window, 213 + 5, 177 + 5);
    sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "72 00 01 32 00");
}

TEST_F(CombatWindows, TheDesktopFileKeepsTheStyleWindowAndItsMinimisedFace)
{
    FightingStyleGump* window = FightingStyleGump::restoreAt(70, 90, false);
    const std::vector<uint8_t> open = desktopLayoutBytes();
    window->minimize();
    window->setLocation(300, 20);
    const std::vector<uint8_t> minimised = desktopLayoutBytes();
    closeGump(window);
    desktopReset();
    ASSERT_TRUE(desktopRead(open));
    window = FightingStyleGump::current();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isMinimised());
    EXPECT_EQ(window->x(), 70);
    EXPECT_EQ(window->y(), 90);
    closeGump(window);
    desktopReset();
    ASSERT_TRUE(desktopRead(minimised));
    window = FightingStyleGump::current();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isMinimised());
    EXPECT_EQ(window->x(), 300);
    EXPECT_EQ(window->y(), 20);
    // A double click on the face opens it; a right click closes it.
    clickAt(*window, 5, 5, 2);
    EXPECT_FALSE(window->isMinimised());
    EXPECT_EQ(openOf(GumpKind::FightingStyle), 1u);
    int32_t x = 40, y = 40;
    window->localToScreen(x, y);
    pointAt(x, y);
    pressRight(x, y);
    releaseRight(x, y);
    EXPECT_EQ(FightingStyleGump::current(), nullptr);
}

// The pictures: the art at the layout's points, pixel by pixel, and the
// whole screen against its golden.
class CombatPicture : public CombatWindows {
protected:
    CombatPicture()
        : art(fixture::sampleSpellGumpArt())
    {
    }
    void expectArtAt(const CGump& window, int32_t id, int32_t x, int32_t y) const
    {
        const fixture::GumpArtPicture& picture = art.at(id);
        for (int32_t py = 0; py < picture.height; ++py) {
            for (int32_t px = 0; px < picture.width; ++px) {
                const uint16_t colour = picture.pixels[size_t(py * picture.width + px)];
                if (colour != 0) {
                    ASSERT_EQ(screenPixel(window.x() + x + px, window.y() + y + py), colour)
                        << "art " << id << " at " << x << "," << y << ": pixel " << px << "," << py;
                }
            }
        }
    }
    // The window's own art shows at the point (nothing drawn over it).
    void expectFaceAt(const CGump& window, int32_t id, int32_t x, int32_t y) const
    {
        const fixture::GumpArtPicture& face = art.at(id);
        EXPECT_EQ(screenPixel(window.x() + x, window.y() + y), face.pixels[size_t(y * face.width + x)])
            << x << "," << y;
    }
    uint64_t shownHash(const char* name)
    {
        composeAll();
        std::vector<uint16_t> shown = screenPicture();
        test::writeSurfacePng(test::picturePath(name), shown.data(), 640, 480, 640);
        return test::surfaceHash(shown.data(), 640, 480, 640);
    }

    const std::map<int32_t, fixture::GumpArtPicture> art;
};

TEST_F(CombatPicture, TheBookShowsTheWeaponsIconsOnItsIndexAndEachAbilitysIcon)
{
    AbilityBookGump* book = AbilityBookGump::open();
    book->moveTo(100, 60, true, nullptr, false);
    const uint64_t index = shownHash("ability_book_index.png");
    expectArtAt(*book, 20991 + 1, AbilityBookGump::kIconX, AbilityBookGump::kPrimaryIconY);
    expectArtAt(*book, 20991 + 3, AbilityBookGump::kIconX, AbilityBookGump::kSecondaryIconY);
    expectArtAt(*book, 2236, 321, 8);
    expectFaceAt(*book, 11010, 50 + 8, 8 + 8);
    EXPECT_EQ(index, 0xf08e7d42ac1679c5ull) << std::hex << index;

    // Concussion Blow's spread: its icon, no weapon icons, both corners.
    book->turnTo(2 * 3 + 5);
    const uint64_t spread = shownHash("ability_book_spread.png");
    expectArtAt(*book, 20991 + 3, 56, 35);
    expectArtAt(*book, 2235, 50, 8);
    expectArtAt(*book, 2236, 321, 8);
    expectFaceAt(*book, 11010, AbilityBookGump::kIconX + 5, AbilityBookGump::kSecondaryIconY + 5);
    EXPECT_EQ(spread, 0xf74b5a3d3e0ca906ull) << std::hex << spread;

    // Laid down: the minimised face alone.
    book->minimize();
    composeAll();
    expectArtAt(*book, 11013, 0, 0);
}

TEST_F(CombatPicture, TheStyleWindowShowsItsButtonsAndTheSlidersOfTheSecondStyle)
{
    warModeState().trailing = { 1, 0, 100 };
    FightingStyleGump* window = FightingStyleGump::restoreAt(100, 80, false);
    const uint64_t shown = shownHash("fighting_style.png");
    expectArtAt(*window, 2112, 151, 64);
    expectArtAt(*window, 2114, 85, 64);
    expectArtAt(*window, 2119, 25, 177);
    expectArtAt(*window, 2122, 88, 178);
    expectArtAt(*window, 2125, 151, 177);
    expectArtAt(*window, 2128, 213, 177);
    const Thumb& b = *window->thumbB();
    EXPECT_NE(screenPixel(window->x() + b.x(), window->y() + FightingStyleGump::kThumbBY), 0);
    EXPECT_EQ(b.x(), FightingStyleGump::kTrackEnd - b.width());
    EXPECT_EQ(shown, 0x5eda4b51cdf3af50ull) << std::hex << shown;
    // The first style hides the sliders: the face shows where they stood.
    window->chooseFirstStyle();
    composeAll();
    expectFaceAt(*window, 2110, FightingStyleGump::kThumbX + 2, FightingStyleGump::kThumbAY + 2);
    expectFaceAt(*window, 2110, b.x() + 2, FightingStyleGump::kThumbBY + 2);
    window->minimize();
    composeAll();
    expectArtAt(*window, 2131, 0, 0);
}

} // namespace
