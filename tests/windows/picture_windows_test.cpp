// The small windows the server opens about an object: signs, help-text
// popups and the quest arrow; and the picture gumps other windows place as
// decorations.

#include "reading_desktop.h"

#include "fixtures/sample_data_writer.h"
#include "fixtures/facet_writer.h"
#include "fixtures/language_files.h"
#include "fixtures/sample_reading_art.h"
#include "gfx/colour_tables.h"
#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/desktop_file.h"
#include "gump/gump_factory.h"
#include "gump/text_list.h"
#include "support/png_writer.h"
#include "support/reading_window_packets.h"
#include "text/localization.h"
#include "windows/help_text_popup.h"
#include "windows/picture_windows.h"
#include "windows/quest_pointer.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kPictureSign = 0x40000504;
constexpr uint32_t kPictureBoard = 0x40000503;

class Pictures : public windows_test::ReadingDesktop {
protected:
    Pictures()
    {
        addItem(kPictureSign, fixture::kSampleSignGraphic, fixture::kSampleCentreX + 2, fixture::kSampleCentreY);
        resetHelpPopups();
    }
    ~Pictures() override { shutdownLocalization(); }

    // The language the client runs in, by the language list's name.
    static void speak(const char* code, const char* name)
    {
        initLocalization();
        const std::string image = fixture::languageListImage({ { code, code[0], name, "Somewhere" } });
        parseLanguageList(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setLanguageCode(code);
        chooseLanguage();
    }
    static int32_t windowsOf(GumpKind kind)
    {
        int32_t count = 0;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            count += gump->is(kind) ? 1 : 0;
        return count;
    }
};

TEST_F(Pictures, ASignShowsItsSecondTextInsideItsArt)
{
    dispatch(test::signPacket(kPictureSign, uint16_t(fixture::kSampleSignArt), "not shown", "Welcome to the Stage House"));
    SignGump* sign = findSignGump(kPictureSign);
    ASSERT_NE(sign, nullptr);
    EXPECT_EQ(sign->x(), 100);
    EXPECT_EQ(sign->y(), 100);
    EXPECT_EQ(sign->width(), 170);
    // One window per sign.
    dispatch(test::signPacket(kPictureSign, uint16_t(fixture::kSampleSignArt), "", "again"));
    EXPECT_EQ(windowsOf(GumpKind::Sign), 1);
    composeAll();
    std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("reading_sign.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0xff7daedd46796517ull) << std::hex
        << test::surfaceHash(picture.data(), 640, 480, 640);
    // The text stays inside the art's content area: outside it the art shows
    // as it is.
    const fixture::GumpArtPicture art = fixture::sampleGumpArt().at(fixture::kSampleSignArt);
    const ScreenRect area = containerItemArea(fixture::kSampleSignArt);
    int32_t inked = 0;
    for (int32_t y = 0; y < art.height; ++y) {
        for (int32_t x = 0; x < art.width; ++x) {
            const bool inside = x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
            const bool same = screenPixel(100 + x, 100 + y) == art.at(x, y);
            if (!inside) {
                ASSERT_TRUE(same) << x << "," << y << " " << screenPixel(100 + x, 100 + y) << " " << art.at(x, y);
            }
            inked += same ? 0 : 1;
        }
    }
    EXPECT_GT(inked, 0);
}

TEST_F(Pictures, ASignIsDraggedByItsPictureAndClosedByTheRightButton)
{
    dispatch(test::signPacket(kPictureSign, uint16_t(fixture::kSampleSignArt), "", "Drag me"));
    SignGump* sign = findSignGump(kPictureSign);
    pressLeft(150, 150);
    pointAt(190, 170);
    releaseLeft(190, 170);
    EXPECT_EQ(sign->x(), 140);
    EXPECT_EQ(sign->y(), 120);
    pressRight(150, 150);
    releaseRight(150, 150);
    EXPECT_EQ(findSignGump(kPictureSign), nullptr);
}

TEST_F(Pictures, ASignOfAnUnknownObjectOpensWithoutOwner)
{
    dispatch(test::signPacket(0x40009999, uint16_t(fixture::kSampleSignArt), "", "Nobody's"));
    dispatch(test::signPacket(0x40009999, uint16_t(fixture::kSampleSignArt), "", "Nobody's"));
    EXPECT_EQ(windowsOf(GumpKind::Sign), 2);
}

TEST_F(Pictures, APictureGumpLetsClicksThrough)
{
    int32_t pressed = 0;
    struct Holder final : CGump {
        Holder()
            : CGump(200, 200, nullptr, 1, 100, 40)
        {
            page(0)->allocate(100, 40);
            std::fill(page(0)->pixels.begin(), page(0)->pixels.end(), uint16_t(0x1234));
        }
        void onCommand(int32_t) override { }
    };
    auto* holder = new Holder;
    gumpLink(holder, nullptr);
    static int32_t* counter = nullptr;
    counter = &pressed;
    gumpLink(Button::hotSpot(10, 10, 50, 30, ButtonBehaviour::ClickOnRelease, 0, [](CGump*) { ++*counter; }, false),
        holder);
    auto* label = new DumbGump(0, 0, 100, 40, 0, nullptr, fixture::kSampleSignArt);
    gumpLink(label, holder);
    pressLeft(220, 220);
    releaseLeft(220, 220);
    EXPECT_EQ(pressed, 1);
}

TEST_F(Pictures, ATranslucentPictureIsThreeQuartersPictureOverTheBackground)
{
    std::vector<uint16_t> pixels(16 * 8);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 7 == 0 ? 0 : uint16_t((i * 2399) & 0x7FFF);
    auto* picture = new DumbGump(300, 300, 16, 8, 0, pixels.data(), -1);
    picture->setTranslucent(true);
    gumpLink(picture, nullptr);
    composeAll();
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const uint16_t p = pixels[size_t(y * 16 + x)];
            const uint16_t b = worldPixel(300 + x, 300 + y);
            const uint16_t expected = p == 0
                ? b
                : uint16_t((((((b & kQuarterMask) + (p & kQuarterMask)) >> 1) + (p & kHalveMask)) >> 1) | 1);
            ASSERT_EQ(screenPixel(300 + x, 300 + y), expected) << x << "," << y;
        }
    }
}

TEST_F(Pictures, HelpTextsShowOnlyOutsideEnglishUnlessTheSettingsDecide)
{
    speak("enu", "ENGLISH");
    dispatch(test::helpTextPacket(kPictureSign, u"A sign."));
    EXPECT_EQ(helpTextPopup(), nullptr);
    // The language test runs once: a later language does not bring them back.
    speak("deu", "German");
    dispatch(test::helpTextPacket(kPictureSign, u"Ein Schild."));
    EXPECT_EQ(helpTextPopup(), nullptr);

    resetHelpPopups();
    pointer.x = 320;
    pointer.y = 240;
    dispatch(test::helpTextPacket(kPictureSign, u"Ein Schild."));
    HelpTextPopup* popup = helpTextPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->x(), 320 - HelpTextPopup::kWidth / 2);
    EXPECT_EQ(popup->y(), 240 - HelpTextPopup::kHeight / 2);
    // An unknown object has no help.
    closeHelpTextPopup();
    dispatch(test::helpTextPacket(0x40009999, u"Nothing."));
    EXPECT_EQ(helpTextPopup(), nullptr);
}

TEST_F(Pictures, APersistentPopupKeepsItsTextAndAnotherReplacesIt)
{
    speak("deu", "German");
    helpPopupSettings().persistent = true;
    dispatch(test::helpTextPacket(kPictureSign, u"Erst."));
    HelpTextPopup* first = helpTextPopup();
    ASSERT_NE(first, nullptr);
    dispatch(test::helpTextPacket(kPictureSign, u"Zweit."));
    EXPECT_EQ(helpTextPopup(), first);
    EXPECT_EQ(first->list()->lines().front().text, u"Erst.");
    helpPopupSettings().persistent = false;
    dispatch(test::helpTextPacket(kPictureSign, u"Zweit."));
    ASSERT_NE(helpTextPopup(), nullptr);
    EXPECT_EQ(helpTextPopup()->list()->lines().front().text, u"Zweit.");
    EXPECT_EQ(windowsOf(GumpKind::ControlGump), 1);
}

TEST_F(Pictures, AStickyPopupOpensWhereTheLastOneWasDragged)
{
    speak("deu", "German");
    helpPopupSettings().sticky = true;
    helpPopupSettings().persistent = false;
    pointer.x = 100;
    pointer.y = 100;
    dispatch(test::helpTextPacket(kPictureSign, u"Zieh mich."));
    HelpTextPopup* popup = helpTextPopup();
    ASSERT_NE(popup, nullptr);
    // Pressed on its top edge and dragged to (300, 200).
    const int32_t grabX = popup->x() + 30;
    const int32_t grabY = popup->y() + 2;
    pressLeft(grabX, grabY);
    pointAt(grabX + 300 - popup->x(), grabY + 200 - popup->y());
    releaseLeft(grabX + 300 - popup->x(), grabY + 200 - popup->y());
    EXPECT_EQ(popup->x(), 300);
    EXPECT_EQ(popup->y(), 200);
    closeHelpTextPopup();
    pointer.x = 50;
    pointer.y = 60;
    dispatch(test::helpTextPacket(kPictureSign, u"Wieder."));
    ASSERT_NE(helpTextPopup(), nullptr);
    EXPECT_EQ(helpTextPopup()->x(), 300);
    EXPECT_EQ(helpTextPopup()->y(), 200);
    // The place goes into the desktop file and comes back from it.
    const std::vector<uint8_t> layout = desktopLayoutBytes();
    setDesktopHelpPopupPosition(0, 0);
    ASSERT_TRUE(desktopRead(layout));
    int32_t x = 0;
    int32_t y = 0;
    desktopHelpPopupPosition(x, y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 200);
}

TEST_F(Pictures, TheSettingsSideEffectsReachThePopups)
{
    NoWindowSettings next;
    HelpPopupWindowSettings popups(next);
    popups.setHelpPopupSticky(true);
    popups.setHelpPopupPersistent(false);
    popups.setHelpPopupTextColour(0x1234);
    popups.setHelpPopupDelay(20);
    popups.switchHelpPopupsOff();
    const HelpPopupSettings& values = helpPopupSettings();
    EXPECT_TRUE(values.sticky);
    EXPECT_FALSE(values.persistent);
    EXPECT_EQ(values.textColour, 0x1234);
    EXPECT_EQ(values.preDelayMs, 100u);
    EXPECT_FALSE(values.enabled);
}

struct ArrowCase {
    const char* name;
    int32_t dx;
    int32_t dy;
    int32_t art;
};

class QuestArrows : public Pictures, public testing::WithParamInterface<ArrowCase> { };

TEST_P(QuestArrows, PointFromThePlayerToTheTarget)
{
    const ArrowCase& c = GetParam();
    const PlayerMobile* self = player();
    setPointerGump(self->x + c.dx, self->y + c.dy, 1);
    pointerGump()->tick();
    EXPECT_EQ(pointerGump()->shownArt(), c.art);
}

INSTANTIATE_TEST_SUITE_P(Directions, QuestArrows,
    testing::Values(ArrowCase { "North", 0, -5, 4501 }, ArrowCase { "ExactlyNorthEast", 3, -3, 4502 },
        ArrowCase { "East", 4, 0, 4503 }, ArrowCase { "South", 0, 4, 4505 }, ArrowCase { "West", -4, 0, 4507 },
        ArrowCase { "SlightlyWestOfNorth", -1, -20, 4501 }, ArrowCase { "WestOfNorthByAnEighth", -10, -20, 4501 },
        ArrowCase { "NorthWest", -6, -6, 4500 }, ArrowCase { "OwnCell", 0, 0, 4503 }),
    [](const testing::TestParamInfo<ArrowCase>& row) { return std::string(row.param.name); });

TEST_F(Pictures, TheDirectionStepRunsFromJustWestOfNorthToWest)
{
    EXPECT_EQ(worldDirectionStep(10, 10, 10, 5), 0);
    EXPECT_EQ(worldDirectionStep(10, 10, 15, 10), 64);
    EXPECT_EQ(worldDirectionStep(10, 10, 10, 15), 128);
    EXPECT_EQ(worldDirectionStep(10, 10, 5, 10), 192);
    EXPECT_EQ(pointerDirectionForStep(-1), 1);
    EXPECT_EQ(pointerDirectionForStep(-31), 1);
    EXPECT_EQ(pointerDirectionForStep(-32), 0);
    EXPECT_EQ(pointerDirectionForStep(-63), 0);
    EXPECT_EQ(pointerDirectionForStep(192), 7);
}

TEST_F(Pictures, TheFirstArrowRequestMakesTheArrowEvenHidden)
{
    dispatch(test::questPointerPacket(0, 1000, 1001));
    PointerGump* arrow = pointerGump();
    ASSERT_NE(arrow, nullptr);
    EXPECT_FALSE(arrow->isVisible());
    EXPECT_EQ(arrow->targetX(), 1000);
    dispatch(test::questPointerPacket(1, 1504, 1620));
    EXPECT_EQ(pointerGump(), arrow);
    EXPECT_TRUE(arrow->isVisible());
    // Hiding keeps the target; close-all leaves the arrow.
    dispatch(test::questPointerPacket(0, 7, 7));
    EXPECT_EQ(arrow->targetX(), 1504);
    gumpCloseAllClosableKinds();
    EXPECT_EQ(pointerGump(), arrow);
}

TEST_F(Pictures, AFarTargetPutsTheArrowAtTheGameAreasEdge)
{
    // The game area is the world view's.
    new WorldViewGump(false);
    const PlayerMobile* self = player();
    setPointerGump(self->x + 100, self->y - 300, 1);
    PointerGump* arrow = pointerGump();
    arrow->tick();
    const GumpScreen& screen = gumpScreen();
    EXPECT_EQ(arrow->x(), screen.gameViewX + screen.gameWidth - arrow->width());
    EXPECT_EQ(arrow->y(), screen.gameViewY);
}

TEST_F(Pictures, TheArrowFlashesOnceInElevenUpdates)
{
    const PlayerMobile* self = player();
    setPointerGump(self->x + 1, self->y, 1);
    PointerGump* arrow = pointerGump();
    int32_t flashes = 0;
    for (int32_t i = 0; i < 33; ++i) {
        arrow->tick();
        flashes += arrow->isFlashing() ? 1 : 0;
    }
    EXPECT_EQ(flashes, 3);
}

class InTheWorld final : public GameSession {
public:
    bool isInWorld() override { return true; }
    bool hasObjectPropertyLists() override { return false; }
};

TEST_F(Pictures, TheArrowAndAHelpTextAreDrawnOverTheWorld)
{
    // The arrow shows only in the world.
    InTheWorld session;
    ScopedService<GameSession> inWorld(session);
    speak("deu", "German");
    pointer.x = 150;
    pointer.y = 120;
    dispatch(test::helpTextPacket(kPictureSign, u"Das Schild des Hauses. Doppelklick, um es zu lesen."));
    ASSERT_NE(helpTextPopup(), nullptr);
    new WorldViewGump(false);
    const PlayerMobile* self = player();
    setPointerGump(self->x + 2, self->y - 2, 1);
    PointerGump* arrow = pointerGump();
    arrow->tick();
    ASSERT_FALSE(arrow->isFlashing());
    arrow->setVisible(false);
    composeAll();
    const std::vector<uint16_t> under = screenPicture();
    arrow->setVisible(true);
    composeAll();
    std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("reading_arrow_and_help.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0x6eced82d25193cc0ull) << std::hex
        << test::surfaceHash(picture.data(), 640, 480, 640);
    // The arrow's picture with its top-left at the target's place, what is
    // under it through its clear pixels.
    const fixture::GumpArtPicture art = fixture::sampleGumpArt().at(arrow->shownArt());
    ASSERT_EQ(arrow->width(), art.width);
    for (int32_t y = 0; y < art.height; ++y) {
        for (int32_t x = 0; x < art.width; ++x) {
            const int32_t sx = arrow->x() + x;
            const int32_t sy = arrow->y() + y;
            const size_t at = size_t(sy) * 640 + size_t(sx);
            ASSERT_EQ(picture[at], art.at(x, y) != 0 ? art.at(x, y) : under[at]) << x << "," << y;
        }
    }
}

TEST_F(Pictures, ClickingTheArrowTellsTheServerWhichButton)
{
    const PlayerMobile* self = player();
    setPointerGump(self->x + 1, self->y + 1, 1);
    PointerGump* arrow = pointerGump();
    arrow->tick();
    takePackets();
    arrow->onLeftUp(5, 5);
    arrow->onRightUp(5, 5);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(hexOf(sent[0]), "BF 00 06 00 07 00");
    EXPECT_EQ(hexOf(sent[1]), "BF 00 06 00 07 01");
    EXPECT_EQ(pointerGump(), arrow);
}

} // namespace
