// The reading windows' server packets through the dispatcher, with their
// bad-input tables: every packet cut short at every byte, counts larger than
// what follows, and values out of range are refused whole or bounded, with
// nothing changed and no crash; and the web page packet, which only ever
// hands an http or https address to the browser.

#include "reading_desktop.h"

#include "data/settings_services.h"
#include "data/targeting.h"
#include "fixtures/facet_writer.h"
#include "fixtures/language_files.h"
#include "fixtures/sample_reading_art.h"
#include "fixtures/server_packet.h"
#include "gump/gump_manager.h"
#include "gump/waiting_gump.h"
#include "protocol/world_packet_windows.h"
#include "support/reading_window_packets.h"
#include "text/localization.h"
#include "windows/book_gump.h"
#include "windows/bulletin_board.h"
#include "windows/bulletin_message.h"
#include "windows/course_map.h"
#include "windows/help_text_popup.h"
#include "windows/quest_pointer.h"
#include "world/container_item.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;

constexpr uint32_t kPacketBook = 0x40000501;
constexpr uint32_t kPacketBoard = 0x40000503;
constexpr uint32_t kPacketSign = 0x40000504;
constexpr uint32_t kPacketMap = 0x40000505;
constexpr uint32_t kMessage = 0x40000601;

enum class Prepared { Nothing, WritableBook, BoardWithMessage, OpenMap };

class ReadingPackets : public windows_test::ReadingDesktop {
protected:
    ReadingPackets()
    {
        addItem(kPacketBook, fixture::kSampleBookGraphic, fixture::kSampleCentreX + 1, fixture::kSampleCentreY);
        addItem(kPacketBoard, fixture::kSampleBoardGraphic, fixture::kSampleCentreX + 2, fixture::kSampleCentreY);
        addItem(kPacketSign, fixture::kSampleSignGraphic, fixture::kSampleCentreX + 3, fixture::kSampleCentreY);
        addToContainer(kPacketMap, fixture::kSampleMapGraphic, 60, 60, playerBackpack()->serial);
        boardRequest() = BoardRequest {};
        resetHelpPopups();
        // Help texts show: the client runs in German.
        initLocalization();
        const std::string image = fixture::languageListImage({ { "deu", 'd', "German", "Germany" } });
        parseLanguageList(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setLanguageCode("deu");
        chooseLanguage();
    }
    ~ReadingPackets() override { shutdownLocalization(); }

    // Everything the packets can change, as one text.
    static std::string state()
    {
        std::ostringstream out;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            out << gump->typeName() << (gump->isVisible() ? "" : "(hidden)") << ";";
        if (BookGump* book = findBookGump(kPacketBook)) {
            out << "book " << book->title().size() << ":";
            for (int32_t page = 1; page <= book->pageCount(); ++page) {
                if (const BookPage* text = book->textPage(page))
                    for (const std::u16string& line : text->lines)
                        out << line.size() << ",";
            }
        }
        if (BulletinBoardGump* board = findBulletinBoard(kPacketBoard))
            out << "board lines " << board->lines().size() << ";";
        if (BBMessageGump* message = findMessageWindow(kMessage))
            out << "message lines " << message->body().lineCount() << ";";
        if (Item* map = findItemBySerial(kPacketMap))
            out << "pins " << static_cast<MapItem*>(map)->plotPointCount() << ";";
        if (PointerGump* arrow = pointerGump())
            out << "arrow " << arrow->targetX() << "," << arrow->targetY() << ";";
        if (helpTextPopup())
            out << "help;";
        return out.str();
    }
    void prepare(Prepared what)
    {
        switch (what) {
        case Prepared::Nothing:
            break;
        case Prepared::WritableBook:
            openBookWritable();
            break;
        case Prepared::BoardWithMessage:
            openBoardWithMessage();
            break;
        case Prepared::OpenMap:
            service<WorldEventWindows>().openCourseMap(kPacketMap, 5021, { 1000, 1000, 1200, 1200, 100, 80 });
            break;
        }
    }
    void openBookWritable() { dispatch(test::bookHeaderPacket(kPacketBook, true, true, 4, "T", "A")); }
    void openBoardWithMessage()
    {
        dispatch(test::boardOpenPacket(kPacketBoard, "Board"));
        addToContainer(kMessage, fixture::kSampleMessageGraphic, 10, 10, kPacketBoard);
    }
};


struct PacketCase {
    const char* name;
    Prepared prepared;
    Bytes packet;
    // Cuts of up to this many bytes still leave a whole, shorter packet (a
    // text that runs to the packet's end).
    size_t wholeWhenCutBy = 0;
};

// The whole packet with its last `cut` bytes gone and its length word saying so.
Bytes cutBy(const Bytes& whole, size_t cut)
{
    Bytes shorter(whole.begin(), whole.end() - std::ptrdiff_t(cut));
    shorter[1] = uint8_t(shorter.size() >> 8);
    shorter[2] = uint8_t(shorter.size());
    return shorter;
}

std::vector<PacketCase> wholePackets()
{
    const Bytes help = test::helpTextPacket(kPacketSign, u"Ein Schild.");
    return {
        { "BookHeaderText", Prepared::Nothing, test::bookHeaderTextPacket(kPacketBook, false, false, 3, "Title", "Author") },
        { "BookPages", Prepared::WritableBook,
            test::bookPagesPacket(kPacketBook, { { 1, { "alpha", "beta" } }, { 2, { "gamma" } } }) },
        { "BoardOpen", Prepared::Nothing, test::boardOpenPacket(kPacketBoard, "Board") },
        { "BoardSummary", Prepared::BoardWithMessage,
            test::boardSummaryPacket(kPacketBoard, kMessage, 0, "Aldo", "Subject", "noon") },
        { "BoardMessage", Prepared::BoardWithMessage,
            test::boardMessagePacket(kPacketBoard, kMessage, "Aldo", "Subject", "noon", { "one", "two" }) },
        { "Sign", Prepared::Nothing, test::signPacket(kPacketSign, 260, "first", "second") },
        { "HelpText", Prepared::Nothing, help, help.size() - 3 - 4 },
    };
}

class WholePackets : public ReadingPackets, public testing::WithParamInterface<PacketCase> { };

TEST_P(WholePackets, CutAtAnyByteAreRefusedWhole)
{
    const PacketCase& c = GetParam();
    prepare(c.prepared);
    const std::string before = state();
    for (size_t cut = c.wholeWhenCutBy + 1; cut + 3 <= c.packet.size(); ++cut) {
        dispatch(cutBy(c.packet, cut));
        ASSERT_EQ(state(), before) << "cut by " << cut;
    }
    dispatch(c.packet);
    EXPECT_NE(state(), before);
}

INSTANTIATE_TEST_SUITE_P(Reading, WholePackets, testing::ValuesIn(wholePackets()),
    [](const testing::TestParamInfo<PacketCase>& row) { return std::string(row.param.name); });

std::vector<PacketCase> refusedPackets()
{
    Bytes lineWithoutEnd = test::bookPagesPacket(kPacketBook, { { 1, { "alpha", "beta" } } });
    lineWithoutEnd = cutBy(lineWithoutEnd, 1);
    return {
        { "PagesPromisedBeyondThePacket", Prepared::WritableBook,
            ServerPacket(0x66).u32(kPacketBook).u16(0xFFFF).u16(1).u16(1).text("a", 2).bytes() },
        { "LinesPromisedBeyondThePacket", Prepared::WritableBook,
            ServerPacket(0x66).u32(kPacketBook).u16(1).u16(1).u16(0xFFFF).text("a", 2).text("b", 2).bytes() },
        { "LineWithoutItsEnd", Prepared::WritableBook, lineWithoutEnd },
        { "TitleLongerThanThePacket", Prepared::Nothing,
            ServerPacket(0xD4).u32(kPacketBook).u8(0).u8(0).u16(2).u16(0xFFFF).text("T", 2).u16(2).text("A", 2).bytes() },
        { "PairsBeyondThePacket", Prepared::BoardWithMessage,
            ServerPacket(0x71).u8(2).u32(kPacketBoard).u32(kMessage).u8(1).u8(0).u8(1).u8(0).u8(1).u8(0)
                .u16(0).u16(0).u8(255).u16(1).u16(2).u8(0).bytes() },
        { "BodyLinesBeyondThePacket", Prepared::BoardWithMessage,
            ServerPacket(0x71).u8(2).u32(kPacketBoard).u32(kMessage).u8(1).u8(0).u8(1).u8(0).u8(1).u8(0)
                .u16(0).u16(0).u8(0).u8(255).u8(2).text("a", 2).bytes() },
        { "BodyLineLongerThanThePacket", Prepared::BoardWithMessage,
            ServerPacket(0x71).u8(2).u32(kPacketBoard).u32(kMessage).u8(1).u8(0).u8(1).u8(0).u8(1).u8(0)
                .u16(0).u16(0).u8(0).u8(1).u8(200).text("ab", 3).bytes() },
        { "SignTextLongerThanThePacket", Prepared::Nothing,
            ServerPacket(0x8B).u32(kPacketSign).u16(260).u16(1).u8(0).u16(0xFFFF).text("x", 2).bytes() },
        { "UnknownBoardCommand", Prepared::BoardWithMessage,
            ServerPacket(0x71).u8(9).u32(kPacketBoard).u32(kMessage).bytes() },
        { "SummaryOfAnUnknownMessage", Prepared::BoardWithMessage,
            test::boardSummaryPacket(kPacketBoard, 0x40007777, 0, "Aldo", "Subject", "noon") },
        { "MessageOfAnUnknownItem", Prepared::BoardWithMessage,
            test::boardMessagePacket(kPacketBoard, 0x40007777, "Aldo", "Subject", "noon", { "one" }) },
        { "BookOfAnUnknownObject", Prepared::Nothing, test::bookHeaderPacket(0x40007777, true, true, 4, "T", "A") },
        { "HelpOfAnUnknownObject", Prepared::Nothing, test::helpTextPacket(0x40007777, u"Nichts.") },
        { "PinOfAMapWithoutWindow", Prepared::Nothing, test::mapPlotPacket(kPacketMap, 1, 0, 10, 10) },
        { "UnknownMapAction", Prepared::OpenMap, test::mapPlotPacket(kPacketMap, 9, 0, 10, 10) },
        { "MapActionZero", Prepared::OpenMap, test::mapPlotPacket(kPacketMap, 0, 0, 10, 10) },
        { "RemovingAPinThatIsNotThere", Prepared::OpenMap, test::mapPlotPacket(kPacketMap, 4, 200, 0, 0) },
    };
}

class RefusedPackets : public ReadingPackets, public testing::WithParamInterface<PacketCase> { };

TEST_P(RefusedPackets, ChangeNothing)
{
    const PacketCase& c = GetParam();
    prepare(c.prepared);
    const std::string before = state();
    dispatch(c.packet);
    EXPECT_EQ(state(), before);
}

INSTANTIATE_TEST_SUITE_P(Reading, RefusedPackets, testing::ValuesIn(refusedPackets()),
    [](const testing::TestParamInfo<PacketCase>& row) { return std::string(row.param.name); });

TEST_F(ReadingPackets, AnEmptyBodyLineIsAnEmptyLine)
{
    openBoardWithMessage();
    dispatch(ServerPacket(0x71).u8(2).u32(kPacketBoard).u32(kMessage).u8(1).u8(0).u8(1).u8(0).u8(1).u8(0)
                 .u16(0).u16(0).u8(0).u8(3).u8(0).u8(2).text("a", 2).u8(1).u8(0).bytes());
    BBMessageGump* message = findMessageWindow(kMessage);
    ASSERT_NE(message, nullptr);
    ASSERT_EQ(message->body().lineCount(), 3);
    EXPECT_EQ(message->body().lines[0], u"");
    // The length byte counts the NUL: the character before it is kept.
    EXPECT_EQ(message->body().lines[1], u"a");
    EXPECT_EQ(message->body().lines[2], u"");
}

TEST_F(ReadingPackets, RepeatedWindowsDoNotPileUp)
{
    openBoardWithMessage();
    const Bytes message = test::boardMessagePacket(kPacketBoard, kMessage, "Aldo", "Subject", "noon", { "one" });
    dispatch(message);
    dispatch(message);
    int32_t messages = 0;
    int32_t signs = 0;
    for (int32_t i = 0; i < 40; ++i)
        dispatch(test::signPacket(0x40008000 + uint32_t(i), 260, "", "Who knows"));
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        messages += gump->is(GumpKind::BulletinMessage) ? 1 : 0;
        signs += gump->is(GumpKind::Sign) ? 1 : 0;
    }
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(signs, 16);
}

TEST_F(ReadingPackets, AFarArrowTargetStaysOnTheScreen)
{
    dispatch(test::questPointerPacket(1, 0xFFFF, 0xFFFF));
    PointerGump* arrow = pointerGump();
    ASSERT_NE(arrow, nullptr);
    arrow->tick();
    const GumpScreen& screen = gumpScreen();
    EXPECT_LT(arrow->x(), screen.width);
    EXPECT_LT(arrow->y(), screen.height);
    EXPECT_GT(arrow->x() + arrow->width(), 0);
    EXPECT_GT(arrow->y() + arrow->height(), 0);
}

struct WebPageCase {
    const char* name;
    const char* url;
    bool opened;
};

class FullScreenDisplay final : public DisplaySettingsService {
public:
    void setDisplayMode(bool on) override { fullScreen = on; }
    bool isFullScreen() override { return fullScreen; }
    void setGameWindowSize(int32_t, int32_t) override { }
    void setFullScreenRes(std::string_view) override { }
    void setShadedFonts(bool) override { }
    void setUse565(bool) override { }
    void setCensoredBloodColour(uint16_t) override { }
    void setEditServerMode(bool) override { }
    bool fullScreen = true;
};

class WebPages : public ReadingPackets, public testing::WithParamInterface<WebPageCase> {
protected:
    WebPages()
        : previousOpener(installUrlOpener([this](const std::string& url) {
            opened.push_back(url);
            return true;
        }))
    {
    }
    ~WebPages() override { installUrlOpener(previousOpener); }

    FullScreenDisplay display;
    ScopedService<DisplaySettingsService> scopedDisplay { display };
    std::vector<std::string> opened;
    UrlOpener previousOpener;
};

TEST_P(WebPages, OnlyWebAddressesReachTheBrowserAndLeaveFullScreen)
{
    const WebPageCase& c = GetParam();
    dispatch(test::webPagePacket(c.url));
    EXPECT_EQ(opened.size(), c.opened ? 1u : 0u);
    if (c.opened) {
        EXPECT_EQ(opened.front(), c.url);
    }
    EXPECT_EQ(display.fullScreen, !c.opened);
}

INSTANTIATE_TEST_SUITE_P(Addresses, WebPages,
    testing::Values(WebPageCase { "Http", "http://example.com/news?a=1", true },
        WebPageCase { "HttpsInCapitals", "HTTPS://EXAMPLE.COM", true },
        WebPageCase { "LocalFile", "file:///etc/passwd", false }, WebPageCase { "Script", "javascript:alert(1)", false },
        WebPageCase { "Program", "steam://run/1", false }, WebPageCase { "Option", "--help http://x", false },
        WebPageCase { "SchemeAlone", "http://", false }, WebPageCase { "Empty", "", false }),
    [](const testing::TestParamInfo<WebPageCase>& row) { return std::string(row.param.name); });

// Without a browser the player is told so in the modal box, which Enter closes.
TEST_F(ReadingPackets, AWebPageWithoutABrowserSaysSoInAModalBox)
{
    const UrlOpener before = installUrlOpener([](const std::string&) { return false; });
    dispatch(test::webPagePacket("http://example.com/"));
    installUrlOpener(before);
    CGump* modal = gumpModal();
    ASSERT_NE(modal, nullptr);
    ASSERT_TRUE(modal->is(GumpKind::WaitingGump));
    EXPECT_EQ(static_cast<WaitingGump*>(modal)->narrowText(), "Web browser not found!");
    GumpHandle box(modal);
    modal->onKey(13);
    EXPECT_EQ(box.get(), nullptr);
    EXPECT_EQ(gumpModal(), nullptr);
}

} // namespace
