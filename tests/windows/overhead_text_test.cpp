// Overhead texts, system messages and damage numbers: where they stand, how
// stacks grow and shrink, how long they live, how they follow their owner,
// the journal lines they write, and the outline and blend of their pixels.

#include "windows/windows_test_support.h"

#include "data/client_services.h"
#include "data/config_key_rules.h"
#include "data/settings_registry.h"
#include "fixtures/sample_window_art.h"
#include "fixtures/server_packet.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "text/ascii_font.h"
#include "windows/container_gump.h"
#include "windows/journal.h"
#include "windows/damage_numbers.h"
#include "windows/incoming_speech.h"
#include "windows/overhead_text.h"
#include "windows/paperdoll_gump.h"
#include "windows/speech_line_gump.h"
#include "windows/speech_services.h"
#include "windows/system_text.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/world_screen.h"

#include <gtest/gtest.h>

namespace {

// The journal step goes in front of the game windows' texts, as in the
// program, and comes out first.
class OverheadTexts : public windows_test::WindowDesktop {
protected:
    OverheadTexts()
    {
        journal().clear();
        installSystemTextServices();
    }
    ~OverheadTexts() override
    {
        uninstallSystemTextServices();
        journal().clear();
        SettingsRegistry& registry = settings();
        registry.setIntSetting(u"BarkTimeModifier", 100);
        registry.setBoolSetting(u"ScaleBarkTimes", 1);
    }

    // Words of 5 letters: eight to a 320-pixel line of the test face.
    static std::string words(int32_t count)
    {
        std::string text;
        for (int32_t i = 0; i < count; ++i)
            text += i ? " ABCDE" : "ABCDE";
        return text;
    }

    // The journal's lines, each with its hue.
    static std::vector<std::string> journalLines()
    {
        std::vector<std::string> lines;
        for (const JournalEntry& entry : journal().entries()) {
            std::string text = entry.wide ? std::string(entry.text.begin(), entry.text.end()) : entry.narrow;
            lines.push_back(text + " #" + std::to_string(entry.hue));
        }
        return lines;
    }
};

TEST_F(OverheadTexts, SystemMessagesStackUpwardFromTheBottomLeft)
{
    ASSERT_TRUE(addSystemMessage(946, 3, "first"));
    BarkGump* first = newestText(nullptr);
    addSystemMessage(946, 3, "second");
    BarkGump* second = newestText(nullptr);
    addSystemMessage(946, 3, "third");
    BarkGump* third = newestText(nullptr);
    ASSERT_TRUE(first && second && third);
    const int32_t h = third->height();
    EXPECT_EQ(third->x(), 0);
    EXPECT_EQ(third->y() + h, 480 - 45);
    EXPECT_EQ(second->y() + second->height(), third->y());
    EXPECT_EQ(first->y() + first->height(), second->y());
    EXPECT_EQ(newestText(nullptr), third);
    EXPECT_EQ(journalLines(), std::vector<std::string>({ "first #946", "second #946", "third #946" }))
        << "each line journaled once";
}

TEST_F(OverheadTexts, ANoticeOfAnyLayerIsJournaledOnceAndShownInTheSystemArea)
{
    windowNotices().addSystemMessage(33, 3, "from below");
    BarkGump* shown = newestText(nullptr);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), "from below");
    EXPECT_EQ(journalLines(), std::vector<std::string>({ "from below #33" }));
}

TEST_F(OverheadTexts, TheTypedLineIsMadeOnceThenItsTextReplaced)
{
    service<TextWindows>().showSpeechLine(u"hel", 946, 3, false);
    SpeechLineGump* line = speechLineGump();
    ASSERT_NE(line, nullptr);
    service<TextWindows>().showSpeechLine(u"hello", 52, 3, false);
    EXPECT_EQ(speechLineGump(), line);
    EXPECT_EQ(line->text(), "hello");
    EXPECT_EQ(line->hue(), 52);
    EXPECT_TRUE(journal().entries().empty()) << "the typed line is no journal line";
}

TEST_F(OverheadTexts, AUnicodeSystemTextStandsThreePixelsHigher)
{
    BarkGump* narrow = makeBarkGump(nullptr, "x", 946, 3);
    const int32_t narrowBottom = narrow->y() + narrow->height();
    closeGump(narrow);
    UnicodeBarkGump* wide = makeUnicodeBarkGump(nullptr, u"x", 946, 0);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->y() + wide->height(), narrowBottom - 3);
    EXPECT_EQ(wide->languageCode(), "enu");
}

struct LifetimeCase {
    const char* name;
    int32_t wordCount;
    int32_t height;
    bool scale;
    int32_t modifier;
    int32_t lifetime;
};

class Lifetimes : public OverheadTexts, public testing::WithParamInterface<LifetimeCase> { };

// The test face is 9 pixels a line: a text lives its lines (height / 15,
// at least one) times 4 seconds, or 4 seconds whatever its size when
// scaling is off, all by the modifier in percent.
TEST_P(Lifetimes, FollowTheLinesAndTheSettings)
{
    const LifetimeCase& c = GetParam();
    settings().setBoolSetting(u"ScaleBarkTimes", c.scale ? 1 : 0);
    settings().setIntSetting(u"BarkTimeModifier", c.modifier);
    BarkGump* text = makeBarkGump(nullptr, words(c.wordCount), 946, 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->height(), c.height);
    EXPECT_EQ(text->lifetime(), c.lifetime);
}

INSTANTIATE_TEST_SUITE_P(Cases, Lifetimes,
    testing::Values(LifetimeCase { "one_small_line_still_lives", 1, 9, true, 100, 4000 },
        LifetimeCase { "five_lines_are_three_of_fifteen", 40, 45, true, 100, 12000 },
        LifetimeCase { "unscaled", 40, 45, false, 100, 4000 }, LifetimeCase { "half_time", 40, 45, true, 50, 6000 },
        LifetimeCase { "double_time_unscaled", 1, 9, false, 200, 8000 }),
    [](const testing::TestParamInfo<LifetimeCase>& c) { return std::string(c.param.name); });

TEST_F(OverheadTexts, TheManagerDeletesTextsPastTheirLifetime)
{
    GumpHandle text(makeBarkGump(nullptr, "bye", 946, 3));
    advance(4000);
    gumpManagerUpdate();
    EXPECT_TRUE(text);
    advance(1);
    gumpManagerUpdate();
    EXPECT_FALSE(text);
    EXPECT_EQ(newestText(nullptr), nullptr);
}

TEST_F(OverheadTexts, AStackTallerThanTheGameAreaDropsItsOldestTexts)
{
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    std::vector<GumpHandle> texts;
    for (int32_t i = 0; i < 10; ++i)
        texts.emplace_back(makeBarkGump(other, words(60), 946, 3));
    int32_t alive = 0;
    int32_t total = 0;
    for (BarkGump* t = newestText(other); t; t = t->olderText()) {
        ++alive;
        total += t->height();
        EXPECT_GE(t->y(), 0);
    }
    EXPECT_LE(total, 479);
    EXPECT_LT(alive, 10);
    EXPECT_FALSE(texts.front()) << "the oldest went first";
    EXPECT_TRUE(texts.back());
}

TEST_F(OverheadTexts, ATextFollowsItsWalkingOwner)
{
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    BarkGump* text = makeBarkGump(other, "hello", 946, 3);
    ASSERT_NE(text, nullptr);
    const int32_t x = text->x();
    const int32_t y = text->y();
    other->moveTo(other->x + 1, other->y, other->z);
    worldService<ObjectViews>().mobileMoved(*other, false);
    EXPECT_EQ(text->x(), x + 22);
    EXPECT_EQ(text->y(), y + 22);
    // A text over the player stays: the view follows the player.
    BarkGump* own = makeBarkGump(player(), "me", 946, 3);
    const int32_t ownY = own->y();
    worldService<ObjectViews>().mobileMoved(*player(), false);
    EXPECT_EQ(own->y(), ownY);
}

TEST_F(OverheadTexts, TheSpeakersNameAndYouSeeGoOnlyToTheJournal)
{
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    journal().setPrefix(JournalPrefix::Speaker, "Bob");
    showOverheadText(*other, "hi there", 52, 3, 0, false);
    EXPECT_EQ(newestText(other)->text(), "hi there");
    journal().setPrefix(JournalPrefix::YouSee);
    showOverheadText(*other, "a mobile", 52, 3, 0, false);
    showObjectSpeech(*other, u"plain", 52, 3, "enu", nullptr);
    EXPECT_EQ(journalLines(), std::vector<std::string>({ "Bob: hi there #52", "You see: a mobile #52", "plain #52" }));
    EXPECT_EQ(journal().prefix(), JournalPrefix::None);
}

struct SpokenLine {
    const char* name;
    std::vector<uint8_t> packet;
};

class SpokenLines : public OverheadTexts, public testing::WithParamInterface<SpokenLine> { };

// The same line said in bytes or in Unicode reaches the journal alike: the
// speaker's name in front, once, over the real text windows.
TEST_P(SpokenLines, JournalTheSpeakersName)
{
    ASSERT_NE(addMobile(0x00000901, player()->x + 1, player()->y + 1), nullptr);
    const std::vector<uint8_t>& packet = GetParam().packet;
    if (packet[0] == 0xAE)
        handleUnicodeSpeechPacket(packet.data());
    else
        handleAsciiSpeechPacket(packet.data());
    EXPECT_EQ(journalLines(), std::vector<std::string>({ "Bob: hello #52" }));
    EXPECT_EQ(journal().prefix(), JournalPrefix::None);
}

std::vector<uint8_t> spoken(uint8_t id, uint8_t type)
{
    fixture::ServerPacket packet(id);
    packet.u32(0x00000901).u16(400).u8(type).u16(52).u16(3);
    if (id == 0xAE)
        return packet.text("ENU", 4).text("Bob", 30).unicode(u"hello").bytes();
    return packet.text("Bob", 30).text("hello", 6).bytes();
}

INSTANTIATE_TEST_SUITE_P(Speech, SpokenLines,
    testing::Values(SpokenLine { "UnicodeSay", spoken(0xAE, 0) }, SpokenLine { "BytesSay", spoken(0x1C, 0) },
        SpokenLine { "UnicodeYell", spoken(0xAE, 9) }, SpokenLine { "BytesYell", spoken(0x1C, 9) },
        SpokenLine { "UnicodeWhisper", spoken(0xAE, 8) }, SpokenLine { "BytesWhisper", spoken(0x1C, 8) },
        SpokenLine { "UnicodeFocus", spoken(0xAE, 7) }, SpokenLine { "BytesFocus", spoken(0x1C, 7) }),
    [](const testing::TestParamInfo<SpokenLine>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(OverheadTexts, AYouSeeNameOfAnItemStandsWhereItWasClicked)
{
    auto* view = new WorldViewGump(false);
    view->setVisible(true);
    view->setDragAnchor(200, 150);
    Item* coins = addItem(0x40000D01, fixture::kSampleCoinGraphic, player()->x + 1, player()->y, 5);
    journal().setPrefix(JournalPrefix::YouSee);
    showOverheadText(*coins, "5 gold coins", 946, 3, 0, false);
    BarkGump* name = newestText(coins);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->x(), 200 - name->width() / 2);
    EXPECT_EQ(name->y(), 150 - name->height());
    // When the view moves the name moves with the item, from where it stood.
    worldScreen().viewPixelX += 10;
    worldScreen().viewPixelY -= 4;
    gumpUpdateOverheads();
    EXPECT_EQ(name->x(), 190 - name->width() / 2);
    EXPECT_EQ(name->y(), 154 - name->height());
    worldScreen().viewPixelX -= 10;
    worldScreen().viewPixelY += 4;
    gumpUpdateOverheads();
    EXPECT_EQ(name->x(), 200 - name->width() / 2);
    // Without the prefix it stands over the item.
    showOverheadText(*coins, "5 gold coins", 946, 3, 0, false);
    BarkGump* plain = newestText(coins);
    const WorldScreen& screen = worldScreen();
    EXPECT_EQ(plain->x(), (coins->screenRect.left + coins->screenRect.right) / 2 - screen.viewPixelX - plain->width() / 2);
    // A Unicode name too.
    journal().setPrefix(JournalPrefix::YouSee);
    showObjectSpeech(*coins, u"coins", 946, 3, "enu", nullptr);
    BarkGump* wide = newestText(coins);
    EXPECT_EQ(wide->x(), 200 - wide->width() / 2);
}

TEST_F(OverheadTexts, AnItemInAContainerSpeaksOnlyWhileItsWindowIsOpen)
{
    ContainerItem* backpack = playerBackpack();
    Item* coin = addToContainer(0x40000201, fixture::kSampleCoinGraphic, 60, 80, backpack->serial, 1);
    EXPECT_EQ(makeBarkGump(coin, "1 gold coin", 946, 3), nullptr);
    CGump* window = openContainerGump(backpack->serial, 60);
    ASSERT_NE(window, nullptr);
    window->moveTo(300, 100, true, nullptr, false);
    window->setDragAnchor(70, 90);
    BarkGump* text = makeBarkGump(coin, "1 gold coin", 946, 3);
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->isInGameView());
    EXPECT_EQ(text->x(), 370 - text->width() / 2);
    EXPECT_EQ(text->y(), 190 - text->height());
    GumpHandle handle(text);
    closeGump(window);
    EXPECT_FALSE(handle) << "closing the window takes its texts";
}

// The name the server labels an item with (0x1C, type 6) goes with the
// window that shows the item: a corpse window (which keeps its items when it
// closes) and a paperdoll.
TEST_F(OverheadTexts, ALabelOfAnItemInAWindowClosesWithTheWindow)
{
    auto label = [](uint32_t serial, const char* text) {
        const std::vector<uint8_t> packet = fixture::ServerPacket(0x1C)
                                                .u32(serial)
                                                .u16(0)
                                                .u8(6)
                                                .u16(946)
                                                .u16(3)
                                                .text("", 30)
                                                .text(text, std::string_view(text).size() + 1)
                                                .bytes();
        handleAsciiSpeechPacket(packet.data());
    };
    constexpr uint32_t kCorpse = 0x40000300;
    constexpr uint32_t kRing = 0x40000301;
    onObjectPacket(kCorpse, Corpse::kCorpseGraphic, 0, 400, player()->x + 1, player()->y, 0, 0, 0, 0);
    Item* ring = addToContainer(kRing, fixture::kSampleCoinGraphic, 60, 80, kCorpse, 1);
    ASSERT_NE(ring, nullptr);
    CGump* corpseWindow = openContainerGump(kCorpse, 9);
    ASSERT_NE(corpseWindow, nullptr);
    label(kRing, "a ring");
    GumpHandle ringName(newestText(ring));
    ASSERT_TRUE(ringName);
    closeGump(corpseWindow);
    ASSERT_NE(findItemBySerial(kRing), nullptr) << "a corpse keeps its items";
    EXPECT_FALSE(ringName) << "the name went with the corpse window";

    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    ASSERT_NE(other, nullptr);
    Item* shirt = equip(other->serial, 0x40000401, 0x1517, 5);
    ASSERT_NE(shirt, nullptr);
    PaperdollGump* doll = openPaperdoll(other->serial, "Bob", 0);
    ASSERT_NE(doll, nullptr);
    label(shirt->serial, "a shirt");
    GumpHandle shirtName(newestText(shirt));
    ASSERT_TRUE(shirtName);
    closeGump(doll);
    EXPECT_FALSE(shirtName) << "the name went with the paperdoll";
}

TEST_F(OverheadTexts, AnOverlappedTextIsBlendedHalfOverTheWorld)
{
    BarkGump* below = makeBarkGump(nullptr, "HHHHHHHH", 0, 3);
    composeAll();
    // Find an inked pixel of the text drawn plainly.
    int32_t inkX = -1, inkY = -1;
    const GumpPage* face = below->page(0);
    for (int32_t y = 0; y < face->height && inkX < 0; ++y)
        for (int32_t x = 0; x < face->width && inkX < 0; ++x)
            if (face->pixel(x, y) != 0)
                inkX = x, inkY = y;
    ASSERT_GE(inkX, 0);
    const uint16_t ink = face->pixel(inkX, inkY);
    const int32_t sx = below->x() + inkX;
    const int32_t sy = below->y() + inkY;
    EXPECT_EQ(screenPixel(sx, sy), ink);
    // Another overhead text above it over that pixel (a transparent one)
    // makes it blend half over the world.
    fillWorld();
    const uint16_t under = screenPixel(sx, sy);
    auto* cover = new gump_test::PageGump(sx, sy, 2, 2, 0);
    cover->addKind(GumpKind::OverheadText);
    gumpLink(cover, nullptr);
    composeAll();
    uint16_t blended = under;
    blendSpan50(&blended, &ink, 1);
    EXPECT_NE(blended, ink);
    EXPECT_EQ(screenPixel(sx, sy), blended);
}

TEST_F(OverheadTexts, TheTypedLineSitsAtTheBottomAndCanShowTheFrameRate)
{
    auto* line = new SpeechLineGump(std::string_view("hello"), 946, 3);
    EXPECT_EQ(line->shownText(), "hello");
    EXPECT_EQ(line->y() + line->height(), 480);
    EXPECT_EQ(speechLineGump(), line);
    configValues().frameCounter = true;
    refreshFrameCounterLine();
    advance(100);
    refreshFrameCounterLine();
    EXPECT_EQ(line->shownText(), " 10 fps hello");
    configValues().frameCounter = false;
    EXPECT_FALSE(line->isClosableByCloseAll());
}

TEST(Outline, SurroundsInkedPixelsWithTheOutlineColour)
{
    // A 5 x 5 picture with one inked pixel in the middle and one on the
    // border: the middle one is outlined, the border one is not.
    std::vector<uint16_t> pixels(25, 0);
    pixels[12] = 0x7FFF;
    pixels[4] = 0x7C00;
    outlineText(pixels.data(), 5, 5, 1);
    const std::vector<uint16_t> expected { 0, 0, 0, 0, 0x7C00, 0, 1, 1, 1, 0, 0, 1, 0x7FFF, 1, 0, 0, 1, 1, 1, 0, 0, 0,
        0, 0, 0 };
    EXPECT_EQ(pixels, expected);
}

class DamageNumbers : public windows_test::WindowDesktop { };

TEST_F(DamageNumbers, NothingForNoDamageAndTheirHueBySerial)
{
    showDamageNumber(player()->serial, 0);
    EXPECT_EQ(gumpListHead(), nullptr);
    showDamageNumber(player()->serial, 25);
    ASSERT_NE(gumpListHead(), nullptr);
    auto* own = static_cast<DamageNumbersGump*>(gumpListHead());
    EXPECT_EQ(own->text(), "25");
    EXPECT_EQ(own->hue(), 52);
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    showDamageNumber(other->serial, 7);
    EXPECT_EQ(static_cast<DamageNumbersGump*>(gumpListHead())->hue(), 33);
}

TEST_F(DamageNumbers, TwoQuickHitsStandTwentyPixelsApartThenRiseFadeAndGo)
{
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    showDamageNumber(other->serial, 10);
    auto* first = static_cast<DamageNumbersGump*>(gumpListHead());
    showDamageNumber(other->serial, 11);
    auto* second = static_cast<DamageNumbersGump*>(gumpListHead());
    ASSERT_NE(first, second);
    EXPECT_GE(second->y() - first->y(), 20);
    GumpHandle handle(first);
    const int32_t y = first->y();
    advance(480);
    gumpManagerUpdate();
    EXPECT_EQ(first->y(), y - 24) << "0.05 pixels a millisecond";
    EXPECT_FALSE(first->isFading());
    advance(600);
    gumpManagerUpdate();
    EXPECT_TRUE(first->isFading());
    advance(500);
    gumpManagerUpdate();
    EXPECT_FALSE(handle);
}

} // namespace
