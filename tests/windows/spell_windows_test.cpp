// The spell table's answers, the cast and open requests in both modes, the
// spellbook content record and the spellbook window opened by the server.
#include "windows/windows_test_support.h"

#include "data/server_features.h"
#include "fixtures/sample_spell_art.h"
#include "fixtures/server_packet.h"
#include "support/png_writer.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "protocol/world_packet_windows.h"
#include "windows/spell_table.h"
#include "windows/spell_window_services.h"
#include "windows/spellbook_gump.h"
#include "windows/status_window_services.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kMageBook = 0x40000A01;
constexpr uint16_t kMageBookGraphic = 3643;

// One answer of the table for one spell id.
struct SpellTableCase {
    const char* name;
    int32_t (*helper)(int32_t);
    int32_t spell;
    int32_t expected;
};

class SpellTableAnswers : public testing::TestWithParam<SpellTableCase> { };

TEST_P(SpellTableAnswers, AnswerAtTheRangeEdges)
{
    initSpellTables();
    EXPECT_EQ(GetParam().helper(GetParam().spell), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(SpellTable, SpellTableAnswers,
    testing::Values(SpellTableCase { "ManaOfUnknown65", spellManaCost, 65, 0 },
        SpellTableCase { "ManaOfFirstCircle", spellManaCost, 8, 4 },
        SpellTableCase { "ManaOfEighthCircle", spellManaCost, 64, 50 },
        SpellTableCase { "ManaOfLastWeaving", spellManaCost, 616, 50 },
        SpellTableCase { "CircleOf406", spellCircle, 406, 2 },
        SpellTableCase { "CircleOf508", spellCircle, 508, 2 },
        SpellTableCase { "CircleOf210", spellCircle, 210, 2 },
        SpellTableCase { "CircleOfUnknown", spellCircle, 300, 1 },
        SpellTableCase { "TithingOf208", spellTithingCost, 208, 30 },
        SpellTableCase { "TithingOf210", spellTithingCost, 210, 15 },
        SpellTableCase { "TithingOutside", spellTithingCost, 211, 0 },
        SpellTableCase { "SkillOf113", spellMinSkill, 113, 99 },
        SpellTableCase { "SkillOfMage", spellMinSkill, 40, 0 },
        SpellTableCase { "IconOfFirst", spellIconArt, 1, 2240 },
        SpellTableCase { "IconOfUnknown", spellIconArt, 65, 0 },
        SpellTableCase { "IconForIconOfBushido", spellIconArtForIcon, 401, 401 + 21135 },
        SpellTableCase { "ClilocOfNinjitsu", spellNameClilocId, 501, 501 + 1060109 },
        SpellTableCase { "DescriptionOfMage", spellDescriptionClilocId, 1, 1 + 1061289 },
        SpellTableCase { "KindOfUnknown", [](int32_t s) { return int32_t(spellBookKind(s)); }, 65, 255 },
        SpellTableCase { "KindOf3834", [](int32_t g) { return int32_t(spellbookKindForGraphic(g)); }, 3834, 1 },
        SpellTableCase { "KindOf3643", [](int32_t g) { return int32_t(spellbookKindForGraphic(g)); }, 3643, 1 },
        SpellTableCase { "KindOfPlainGraphic", [](int32_t g) { return int32_t(spellbookKindForGraphic(g)); }, 3642,
            0 }),
    [](const testing::TestParamInfo<SpellTableCase>& param) { return std::string(param.param.name); });

TEST(SpellTable, HoldsTheHundredAndTwentySpellsInIdOrderAndRefusesUnknownIds)
{
    initSpellTables();
    initSpellTables();
    ASSERT_EQ(spellCount(), 120);
    EXPECT_EQ(spellIdByIndex(0), 1);
    EXPECT_EQ(spellIdByIndex(119), 615);
    EXPECT_EQ(spellIdByIndex(120), -1);
    EXPECT_EQ(spellName(65), "Bad Spell");
    EXPECT_EQ(spellName(64), "Water Elemental");
    EXPECT_EQ(spellReagents(1), "Bloodmoss\nNightshade");
    EXPECT_EQ(spellReagents(201), "");
    EXPECT_FALSE(spellWords(42).empty());
    EXPECT_EQ(spellWordInitials(42).size(), size_t(std::count(spellWords(42).begin(), spellWords(42).end(), ' ') + 1));
}

// The game windows' desktop with the protocol's handlers and the spell
// windows' services in place, and a mage book in the player's backpack.
class SpellWindows : public windows_test::WindowDesktop {
protected:
    SpellWindows()
    {
        initSpellTables();
        setLastSpell(0);
        clearPacketHandlers();
        registerProtocolHandlers();
        spellServices = std::make_unique<SpellWindowServices>();
        playerBackpack();
        addToContainer(kMageBook, kMageBookGraphic, 30, 30, 0x40000100);
    }
    ~SpellWindows() override
    {
        while (CGump* gump = gumpListHead())
            closeGump(gump);
        spellServices.reset();
        clearPacketHandlers();
        storeCharacterListFlags(0);
    }
    static void dispatch(const Bytes& bytes) { dispatchGamePacket(*currentGameConnection(), bytes.data()); }
    static Bytes contentRecord(uint32_t serial, uint16_t first, const std::array<uint8_t, 8>& bits)
    {
        ServerPacket packet(0xBF);
        packet.u16(0x1B).u16(1).u32(serial).u16(kMageBookGraphic).u16(first);
        for (uint8_t byte : bits)
            packet.u8(byte);
        return packet.bytes();
    }
    SpellbookItem& book() { return *static_cast<SpellbookItem*>(findItemBySerial(kMageBook)); }
    SpellbookGump* openBook()
    {
        dispatch(ServerPacket(0x24, ServerPacket::Length::Fixed).u32(kMageBook).u16(0xFFFF).bytes());
        return SpellbookGump::findFor(kMageBook);
    }
    // A double click at a point of the book, in its own coordinates.
    void doubleClickBook(SpellbookGump& gump, int32_t x, int32_t y)
    {
        gump.localToScreen(x, y);
        for (int32_t press = 0; press < 2; ++press) {
            pointAt(x, y);
            pressLeft(x, y);
            advance(40);
            releaseLeft(x, y);
            advance(40);
        }
    }

    std::unique_ptr<SpellWindowServices> spellServices;
};

TEST_F(SpellWindows, CastRequestsFollowTheModeAndTheBook)
{
    ASSERT_TRUE(castSpell(5, 0, true));
    ASSERT_TRUE(castSpell(5, 0x01020304, false));
    storeCharacterListFlags(1u << 5);
    ASSERT_TRUE(castSpell(5, 0, false));
    ASSERT_TRUE(castSpell(5, 0x01020304, false));
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(hexOf(sent[0]), "12 00 06 56 35 00");
    EXPECT_EQ(hexOf(sent[1]), "12 00 0F 27 35 20 31 36 39 30 39 30 36 30 00");
    EXPECT_EQ(hexOf(sent[2]), "BF 00 09 00 1C 00 02 00 05");
    EXPECT_EQ(hexOf(sent[3]), "BF 00 0D 00 1C 00 01 01 02 03 04 00 05");
    // Only the first cast was remembered (the others stand for macros).
    EXPECT_EQ(lastSpell(), 5);
    ASSERT_TRUE(castSpell(7, 0, false));
    EXPECT_EQ(lastSpell(), 5);
}

TEST_F(SpellWindows, OpenRequestsSendTheBookDigitAndNothingForKindFour)
{
    EXPECT_TRUE(openSpellbookByKind(5));
    EXPECT_FALSE(openSpellbookByKind(4));
    EXPECT_FALSE(openSpellbookByKind(200));
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "12 00 06 43 34 00");
}

TEST_F(SpellWindows, TheContentRecordFillsTheBookFromItsBits)
{
    storeCharacterListFlags(1u << 5);
    dispatch(contentRecord(kMageBook, 1, { 0x01, 0, 0, 0, 0, 0, 0, 0x80 }));
    ASSERT_EQ(book().spells.size(), 2u);
    EXPECT_EQ(spellbookSpellAt(book(), 0), 1);
    EXPECT_EQ(spellbookSpellAt(book(), 1), 64);
    EXPECT_EQ(spellbookSpellAt(book(), 2), -1);
    // A record for a serial that is no spellbook changes nothing.
    dispatch(contentRecord(0x40000100, 1, { 0xFF, 0, 0, 0, 0, 0, 0, 0 }));
    EXPECT_EQ(book().spells.size(), 2u);
}

TEST_F(SpellWindows, AShortenedContentRecordIsRefusedWhole)
{
    storeCharacterListFlags(1u << 5);
    dispatch(contentRecord(kMageBook, 1, { 0x03, 0, 0, 0, 0, 0, 0, 0 }));
    const ServerPacket full = [] {
        ServerPacket packet(0xBF);
        packet.u16(0x1B).u16(1).u32(kMageBook).u16(kMageBookGraphic).u16(1);
        packet.fill(8, 0xFF);
        return packet;
    }();
    for (size_t cut = 1; cut + 3 <= full.size(); ++cut) {
        dispatch(full.truncatedBy(cut));
        ASSERT_EQ(book().spells.size(), 2u) << "cut by " << cut;
    }
    dispatch(full.bytes());
    EXPECT_EQ(book().spells.size(), 64u);
}

TEST_F(SpellWindows, TheActiveMarkIsKeptPerSpell)
{
    dispatch(ServerPacket(0xBF).u16(0x25).u16(12).u8(1).bytes());
    EXPECT_TRUE(isSpellActive(12));
    EXPECT_FALSE(isSpellActive(13));
    dispatch(ServerPacket(0xBF).u16(0x25).u16(12).u8(0).bytes());
    EXPECT_FALSE(isSpellActive(12));
}

TEST_F(SpellWindows, AnEmptyMageBookShowsItsEightIndexPages)
{
    SpellbookGump* gump = openBook();
    ASSERT_NE(gump, nullptr);
    EXPECT_EQ(gump->spellCount(), 0);
    EXPECT_EQ(gump->spreadPageCount(), 8);
    EXPECT_EQ(gump->width(), fixture::kSampleSpellbookWidth);
    EXPECT_EQ(gump->height(), fixture::kSampleSpellbookHeight + 20);
    // The same request again shows the open window.
    EXPECT_EQ(openBook(), gump);
    EXPECT_NE(std::count(sounds.played.begin(), sounds.played.end(), SpellbookGump::kTurnSound), 0);
}

TEST_F(SpellWindows, ADoubleClickOnAnIndexEntryCastsItAndLaysTheBookDown)
{
    storeCharacterListFlags(1u << 5);
    // Spells 1 and 3 are on the first circle's index page.
    dispatch(contentRecord(kMageBook, 1, { 0x05, 0, 0, 0, 0, 0, 0, 0 }));
    SpellbookGump* gump = openBook();
    ASSERT_NE(gump, nullptr);
    takePackets();
    EXPECT_EQ(gump->indexEntryAtPoint(60, SpellbookGump::kIndexFirstRow + 1), 0);
    // Above the first row is no entry, even where the row would come out 0.
    EXPECT_EQ(gump->indexEntryAtPoint(60, SpellbookGump::kIndexFirstRow - 5), -1);
    EXPECT_EQ(gump->indexEntryAtPoint(60, 12), -1);
    doubleClickBook(*gump, 60, SpellbookGump::kIndexFirstRow + 1);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "BF 00 09 00 1C 00 02 00 01");
    EXPECT_EQ(lastSpell(), 1);
    EXPECT_TRUE(gump->isMinimised());
    // The book lets the pointer go: the next click reaches the world.
    EXPECT_EQ(capture(), nullptr);
}

TEST_F(SpellWindows, AClickOnAnIndexEntryTurnsToItsSpellAndItsIconCasts)
{
    storeCharacterListFlags(1u << 5);
    dispatch(contentRecord(kMageBook, 1, { 0x05, 0, 0, 0, 0, 0, 0, 0 }));
    SpellbookGump* gump = openBook();
    ASSERT_NE(gump, nullptr);
    EXPECT_EQ(gump->spreadPageCount(), 10);
    int32_t x = 60, y = SpellbookGump::kIndexFirstRow + 1;
    gump->localToScreen(x, y);
    pointAt(x, y);
    pressLeft(x, y);
    advance(40);
    releaseLeft(x, y);
    advance(600);
    pointAt(x, y);
    ASSERT_EQ(gump->spread(), 9);
    EXPECT_EQ(gump->spellAtPoint(60, 50, true), 1);
    EXPECT_EQ(gump->spellAtPoint(230, 50, true), 3);
    takePackets();
    doubleClickBook(*gump, 230, 50);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "BF 00 09 00 1C 00 02 00 03");
}

// The book as it shows on the screen at (100, 60): its art, the corners that
// can turn, the circle tabs and the spell pages' icons stand where the layout
// puts them, checked against the sample pictures pixel by pixel; the whole
// screen also against its golden.
class SpellbookPicture : public SpellWindows {
protected:
    static constexpr int32_t kBookX = 100;
    static constexpr int32_t kBookY = 60;

    SpellbookPicture()
        : art(fixture::sampleSpellGumpArt())
    {
    }
    // The art's opaque pixels at the book's point (x, y).
    void expectArtAt(int32_t id, int32_t x, int32_t y) const
    {
        const fixture::GumpArtPicture& picture = art.at(id);
        for (int32_t py = 0; py < picture.height; ++py) {
            for (int32_t px = 0; px < picture.width; ++px) {
                const uint16_t colour = picture.pixels[size_t(py * picture.width + px)];
                if (colour != 0) {
                    ASSERT_EQ(screenPixel(kBookX + x + px, kBookY + y + py), colour)
                        << "art " << id << " at " << x << "," << y << ": pixel " << px << "," << py;
                }
            }
        }
    }
    // The book's own art (its paper) shows at the point.
    void expectPaperAt(int32_t x, int32_t y) const
    {
        const fixture::GumpArtPicture& book = art.at(2220);
        EXPECT_EQ(screenPixel(kBookX + x, kBookY + y), book.pixels[size_t(y * book.width + x)]) << x << "," << y;
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

TEST_F(SpellbookPicture, TheIndexAndTheSpellPagesStandWhereTheLayoutPutsThem)
{
    storeCharacterListFlags(1u << 5);
    // Spells 1 and 3 of the first circle and 9 of the second.
    dispatch(contentRecord(kMageBook, 1, { 0x05, 0x01, 0, 0, 0, 0, 0, 0 }));
    SpellbookGump* gump = openBook();
    ASSERT_NE(gump, nullptr);
    gump->moveTo(kBookX, kBookY, true, nullptr, false);
    ASSERT_EQ(gump->spreadPageCount(), 11);

    // The first index spread: only the next corner, and the eight tabs.
    const uint64_t index = shownHash("spellbook_index.png");
    expectArtAt(SpellbookGump::kNextCornerArt, 321, 8);
    expectPaperAt(50 + 8, 8 + 8);
    constexpr int32_t kTabX[] = { 58, 93, 130, 164, 227, 260, 297, 332 };
    for (int32_t tab = 0; tab < 8; ++tab)
        expectArtAt(2225 + tab, kTabX[tab], 175);
    EXPECT_EQ(index, 0x6f88a1c793090395ull) << std::hex << index;

    // The first spell spread: spell 1 on the left page, spell 3 on the right.
    gump->turnTo(9);
    const uint64_t first = shownHash("spellbook_spells.png");
    expectArtAt(2239 + 1, 56, 40);
    expectArtAt(2239 + 3, 223, 40);
    expectArtAt(SpellbookGump::kPreviousCornerArt, 50, 8);
    expectArtAt(SpellbookGump::kNextCornerArt, 321, 8);
    EXPECT_EQ(first, 0xca65ac426e9390ebull) << std::hex << first;

    // The last spread: spell 9 alone, and no corner to turn on.
    gump->turnTo(11);
    composeAll();
    expectArtAt(2239 + 9, 56, 40);
    expectPaperAt(223 + 10, 40 + 10);
    expectPaperAt(321 + 8, 8 + 8);
}

TEST_F(SpellWindows, OlderServersFillTheBookWithContentItems)
{
    addToContainer(0x40000A10, 0x1F2D, 0, 0, kMageBook, 17);
    addToContainer(0x40000A11, 0x1F2D, 0, 0, kMageBook, 2);
    EXPECT_EQ(spellbookSpellCount(book()), 2);
    SpellbookGump* gump = openBook();
    ASSERT_NE(gump, nullptr);
    EXPECT_EQ(gump->spellCount(), 2);
}

TEST_F(SpellWindows, AnOpenPaladinBookShowsTheTithingPointsOfTheNextStatus)
{
    constexpr uint32_t kPaladinBook = 0x40000A02;
    addToContainer(kPaladinBook, 8786, 40, 30, 0x40000100);
    StatusWindowServices statusServices;
    statusRecord() = StatusRecord {};
    dispatch(ServerPacket(0x24, ServerPacket::Length::Fixed).u32(kPaladinBook).u16(0xFFFF).bytes());
    SpellbookGump* gump = SpellbookGump::findFor(kPaladinBook);
    ASSERT_NE(gump, nullptr);
    ASSERT_EQ(gump->bookKind(), SpellbookGump::kPaladinBookKind);
    const std::vector<uint16_t> none = gump->page(0)->pixels;
    statusRecord().tithing = 9876;
    service<StatusWindows>().redrawTithingBooks();
    EXPECT_NE(gump->page(0)->pixels, none);
    statusRecord() = StatusRecord {};
    service<StatusWindows>().redrawTithingBooks();
    EXPECT_EQ(gump->page(0)->pixels, none);
}

TEST_F(SpellWindows, TheBookClosesWithItsItem)
{
    ASSERT_NE(openBook(), nullptr);
    dispatch(ServerPacket(0x1D, ServerPacket::Length::Fixed).u32(kMageBook).bytes());
    EXPECT_EQ(SpellbookGump::findFor(kMageBook), nullptr);
}

} // namespace
