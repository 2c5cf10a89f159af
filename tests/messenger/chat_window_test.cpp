// The conference chat as the server and the player work it: the server's
// numbered messages and lines through the dispatcher, the packets the window
// sends for typed lines, menu choices and dialogs, and its closing.

#include "fixtures/server_packet.h"
#include "gump/gump_manager.h"
#include "gump/popup_list.h"
#include "gump/text_list.h"
#include "messenger/chat_text.h"
#include "messenger/chat_window.h"
#include "messenger/messenger_links.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "protocol/login_state.h"
#include "support/messenger_desktop.h"
#include "support/png_writer.h"
#include "gfx/gump_art.h"
#include "text/string_file.h"

#include <gtest/gtest.h>

namespace {

using fixture::ServerPacket;
using windows_test::Bytes;

Bytes chatMessagePacket(uint16_t number, std::u16string_view first, std::u16string_view second)
{
    ServerPacket packet(0xB2);
    packet.u16(number).fill(4, 0).unicode(first).unicode(second);
    return packet.bytes();
}

Bytes chatLinePacket(uint16_t type, std::u16string_view text)
{
    ServerPacket packet(0xB3);
    packet.fill(4, 0).u16(type).unicode(text);
    return packet.bytes();
}

// The UTF-16 text of a client 0xB3 (after id, length and language).
std::u16string sentLine(const Bytes& packet)
{
    std::u16string text;
    for (size_t i = 7; i + 1 < packet.size(); i += 2) {
        const char16_t unit = char16_t(packet[i] << 8 | packet[i + 1]);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

class ChatWindowTest : public test::MessengerDesktop {
protected:
    void SetUp() override
    {
        freeStringFiles();
        loginSession().loggedIn = true;
    }
    void TearDown() override
    {
        if (ChatWindow* window = chatWindow())
            closeGump(window);
        loginSession().loggedIn = false;
        freeStringFiles();
        chatPlacement() = {};
    }
    static void deliver(const Bytes& packet) { registeredPacketHandler(packet[0])(packet.data()); }
    ChatWindow* open()
    {
        deliver(chatMessagePacket(1005, u"Tester", u""));
        return chatWindow();
    }
    std::vector<std::u16string> sentLines()
    {
        std::vector<std::u16string> lines;
        for (const Bytes& packet : takePackets()) {
            if (!packet.empty() && packet[0] == 0xB3)
                lines.push_back(sentLine(packet));
        }
        return lines;
    }
    static const TextListLine& lastMessage(ChatWindow& window)
    {
        return window.list(ChatList::kMessages)->lines().back();
    }

    MessengerServices m_services;
};

TEST(ChatPackets, TheOpenRequestCarriesThirtyUnitsOfTheName)
{
    PacketStorage<64> packet;
    ASSERT_TRUE(buildChatOpenRequest(packet, u"abcdefghijklmnopqrstuvwxyz0123456789"));
    ASSERT_EQ(packet.length(), 64u);
    EXPECT_EQ(packet.data()[0], 0xB5);
    EXPECT_EQ(packet.data()[1], 0);
    EXPECT_EQ(packet.data()[2 + 29 * 2 + 1], '3') << "the 30th unit is the name's 30th character";
    EXPECT_EQ(packet.data()[2 + 30 * 2 + 1], 0) << "the 31st character is cut";
    PacketStorage<64> empty;
    ASSERT_TRUE(buildChatOpenRequest(empty, u""));
    EXPECT_EQ(std::vector<uint8_t>(empty.data() + 1, empty.data() + 64), std::vector<uint8_t>(63, 0));
}

struct FormatCase {
    const char* label;
    std::u16string entry;
    std::u16string expected;
    int32_t nameStart;
    int32_t nameEnd;
};

class ChatFormat : public testing::TestWithParam<FormatCase> { };

TEST_P(ChatFormat, FillsTheNameAndTheSecondText)
{
    int32_t start = 0;
    int32_t end = 0;
    EXPECT_EQ(formatChatMessage(GetParam().entry, u"Kendra", u"hello", start, end), GetParam().expected);
    EXPECT_EQ(start, GetParam().nameStart);
    EXPECT_EQ(end, GetParam().nameEnd);
}

INSTANTIATE_TEST_SUITE_P(Entries, ChatFormat,
    testing::Values(FormatCase { "Speaker", u"%1: %2", u"Kendra: hello", 0, 5 },
        FormatCase { "AnyOtherLetter", u"<%s> %1", u"<hello> Kendra", 8, 13 },
        FormatCase { "TrailingPercent", u"50%", u"50%", -1, -1 },
        FormatCase { "Empty", u"", u"", -1, -1 }),
    [](const testing::TestParamInfo<FormatCase>& param) { return std::string(param.param.label); });

TEST(ChatPackets, NamesWithoutAStatusDigitStaySound)
{
    EXPECT_EQ(chatStatusOf(u""), 0);
    EXPECT_EQ(chatNameOf(u""), u"");
    EXPECT_EQ(chatStatusOf(u"1Robot"), 1);
    EXPECT_EQ(chatNameOf(u"1Robot"), u"Robot");
}

TEST_F(ChatWindowTest, TypedLinesGoOutWithTheirCommandLetter)
{
    ASSERT_FALSE(chatEntry(68).empty()) << "the sample data's chat file is read";
    EXPECT_EQ(chatLineToSend(u"hello all"), u"ahello all");
    EXPECT_EQ(chatLineToSend(u"/MSG Robot hi"), u"eRobot hi");
    EXPECT_EQ(chatLineToSend(u"/leave"), u"q");
    EXPECT_EQ(chatLineToSend(u"/me waves"), u"zwaves");
    EXPECT_EQ(chatLineToSend(u"/away"), u"A");
    EXPECT_EQ(chatCommandLetter(90), u'A');
    EXPECT_EQ(chatCommandLetter(91), 0);
}

TEST_F(ChatWindowTest, TheServerOpensTheWindowAndFillsItsLists)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->x(), 0);
    EXPECT_EQ(window->width(), kChatDefaultWidth);
    EXPECT_EQ(lastMessage(*window).text, chatEntry(94));
    deliver(chatMessagePacket(1000, u"Lobby", u"0"));
    deliver(chatMessagePacket(1000, u"Guild", u"1"));
    deliver(chatMessagePacket(1000, u"Guild", u"0"));
    ASSERT_EQ(window->conferences().size(), 3u);
    EXPECT_EQ(window->conferences()[2].display, u"/join \"Guild\"$") << "the same name changes its mark";
    deliver(chatMessagePacket(1001, u"Lobby", u""));
    ASSERT_EQ(window->conferences().size(), 2u);
    EXPECT_EQ(window->conferences()[1].name, u"Guild");

    deliver(chatMessagePacket(1006, u"1Robot", u""));
    deliver(chatMessagePacket(1006, u"2Quiet", u""));
    deliver(chatMessagePacket(1006, u"2Quiet", u""));
    TextList* users = window->list(ChatList::kUsers);
    ASSERT_EQ(users->lineCount(), 2);
    EXPECT_EQ(users->lines()[0].colour, chatSettingColour(u"ChatColorOpsName"));
    EXPECT_EQ(users->lines()[1].colour, chatSettingColour(u"ChatColorMutedName"));
    deliver(chatMessagePacket(1007, u"Quiet", u""));
    EXPECT_EQ(users->lineCount(), 1);
    deliver(chatMessagePacket(1009, u"Guild", u""));
    EXPECT_EQ(window->list(ChatList::kConference)->lines().back().text, u"Guild");
    EXPECT_EQ(lastMessage(*window).text, u"You are now in the conference Guild.");
    deliver(chatMessagePacket(1008, u"", u""));
    EXPECT_EQ(users->lineCount(), 0);
    EXPECT_EQ(window->list(ChatList::kConference)->lines().back().text, chatEntry(1));
    deliver(chatMessagePacket(4711, u"", u""));
    EXPECT_EQ(lastMessage(*window).text, u"Error");
    deliver(chatMessagePacket(1004, u"", u""));
    EXPECT_EQ(chatWindow(), nullptr);
}

TEST_F(ChatWindowTest, SpeakersShowInTheColoursOfTheirStatus)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    deliver(chatMessagePacket(37, u"1Robot", u"hi there"));
    const TextListLine& robot = lastMessage(*window);
    EXPECT_EQ(robot.text, u"Robot: hi there");
    EXPECT_EQ(robot.colour, chatSettingColour(u"ChatColorOpsText"));
    EXPECT_EQ(robot.highlightColour, chatSettingColour(u"ChatColorOpsName"));
    EXPECT_EQ(robot.highlightStart, 0);
    EXPECT_EQ(robot.highlightEnd, 4);
    deliver(chatMessagePacket(37, u"0Tester", u"me"));
    EXPECT_EQ(lastMessage(*window).colour, chatSettingColour(u"ChatColorSelfText")) << "the own name";
    deliver(chatLinePacket(5, u"system"));
    EXPECT_EQ(lastMessage(*window).colour, chatSettingColour(u"ChatColorSystemMessage"));
    EXPECT_EQ(lastMessage(*window).highlightStart, -1);
}

TEST_F(ChatWindowTest, AMessageToTheMinimisedWindowRaisesItsAlert)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    window->minimize();
    deliver(chatMessagePacket(39, u"1Robot", u"psst"));
    EXPECT_TRUE(window->isAlerted());
    EXPECT_EQ(lastMessage(*window).text, u"Robot calls: psst");
}

TEST_F(ChatWindowTest, TypingAndChoosingFromTheMenusSendLines)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    deliver(chatMessagePacket(1000, u"Lobby", u"0"));
    takePackets();
    TextList* input = window->list(ChatList::kInput);
    int32_t x = input->width() / 2;
    int32_t y = input->height() / 2;
    input->localToScreen(x, y);
    click(x, y);
    ASSERT_EQ(gumpFocus(), input);
    for (char16_t c : std::u16string(u"hello"))
        gumpFocus()->onKey(c);
    gumpFocus()->onKey(13);
    EXPECT_EQ(sentLines(), std::vector<std::u16string> { u"ahello" });
    EXPECT_TRUE(input->editText().empty());

    window->openPopup(0);
    ASSERT_NE(window->popup(0), nullptr);
    window->popup(0)->list()->notify(window->conferences()[1].display, window->popup(0)->list());
    EXPECT_EQ(window->popup(0), nullptr);
    EXPECT_EQ(sentLines(), std::vector<std::u16string> { u"b\"Lobby\"" }) << "a conference without password";

    window->openPopup(1);
    window->popup(1)->list()->notify(chatEntry(5), window->popup(1)->list());
    EXPECT_EQ(sentLines(), std::vector<std::u16string> { u"u" }) << "a command that needs nothing more";

    window->openPopup(1);
    window->popup(1)->list()->notify(chatEntry(4), window->popup(1)->list());
    EXPECT_TRUE(sentLines().empty());
    auto* dialog = static_cast<ChatDialog*>(gumpFocus()->parent());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->request(), 3);
    for (char16_t c : std::u16string(u"Pest"))
        gumpFocus()->onKey(c);
    gumpFocus()->onKey(13);
    EXPECT_EQ(sentLines(), std::vector<std::u16string> { u"hPest" }) << "the argument ends the command";
}

TEST_F(ChatWindowTest, TheNewConferenceDialogSendsItsNameAndPassword)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    takePackets();
    window->openPopup(0);
    window->popup(0)->list()->notify(chatEntry(0), window->popup(0)->list());
    auto* dialog = static_cast<ChatDialog*>(gumpFocus()->parent());
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->input(1), nullptr);
    dialog->input(0)->appendEditText(u"Den");
    dialog->input(1)->appendEditText(u"key");
    dialog->accept();
    EXPECT_EQ(sentLines(), std::vector<std::u16string> { u"cDen{key}" });
}

TEST_F(ChatWindowTest, ClosingSendsXOnlyWhileLoggedIn)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    takePackets();
    closeGump(window);
    EXPECT_EQ(sentLines(), std::vector<std::u16string> { u"X" });
    ASSERT_NE(open(), nullptr);
    loginSession().loggedIn = false;
    closeGump(chatWindow());
    EXPECT_TRUE(sentLines().empty());
}

TEST_F(ChatWindowTest, TheLayoutFollowsTheSplit)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->splitX(), kChatDefaultWidth - 200);
    EXPECT_EQ(window->splitY(), kChatDefaultHeight - 120);
    window->resize(200, 150, false);
    EXPECT_EQ(window->splitX(), 34) << "never left of the minimum";
    EXPECT_EQ(window->splitY(), 90);
    TextList* input = window->list(ChatList::kInput);
    EXPECT_GT(input->y(), 90);
    window->resize(600, 400, false);
    window->resize(450, 300, true);
    EXPECT_EQ(window->userListWidth(), 150);
    EXPECT_EQ(window->splitX(), 450);
    // The user list starts as far right of the split as the message list
    // starts right of the left edge.
    EXPECT_EQ(window->list(ChatList::kUsers)->x(), 450 + window->list(ChatList::kMessages)->x());
}

// Every cut of a packet is refused whole: nothing opens and nothing is added.
TEST_F(ChatWindowTest, PacketsCutShortAreRefusedWhole)
{
    const Bytes opening = ServerPacket(0xB2).u16(1005).fill(4, 0).unicode(u"Tester").unicode(u"").bytes();
    for (size_t cut = 1; cut + 3 <= opening.size(); ++cut) {
        Bytes bytes(opening.begin(), opening.end() - Bytes::difference_type(cut));
        bytes[1] = uint8_t(bytes.size() >> 8);
        bytes[2] = uint8_t(bytes.size());
        deliver(bytes);
        ASSERT_EQ(chatWindow(), nullptr) << "cut by " << cut;
    }
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    const int32_t lines = window->list(ChatList::kMessages)->lineCount();
    const Bytes line = chatLinePacket(0, u"hello");
    for (size_t cut = 1; cut + 3 <= line.size(); ++cut) {
        Bytes bytes(line.begin(), line.end() - Bytes::difference_type(cut));
        bytes[1] = uint8_t(bytes.size() >> 8);
        bytes[2] = uint8_t(bytes.size());
        deliver(bytes);
    }
    EXPECT_EQ(window->list(ChatList::kMessages)->lineCount(), lines);
    // A text far beyond the limit is kept to its first 1023 units.
    deliver(chatLinePacket(0, std::u16string(3000, u'w')));
    EXPECT_EQ(lastMessage(*window).text.size(), kMaxChatTextUnits);
}

} // namespace

namespace {

class ChatPictures : public ChatWindowTest { };

// The window with a conference, users and lines, as the server fills it.
TEST_F(ChatPictures, TheFilledWindowLooksAsRecorded)
{
    ASSERT_NE(open(), nullptr);
    deliver(chatMessagePacket(1009, u"Lobby", u""));
    deliver(chatMessagePacket(1006, u"1Robot", u""));
    deliver(chatMessagePacket(1006, u"0Mirela", u""));
    deliver(chatMessagePacket(37, u"1Robot", u"Welcome to the lobby!"));
    deliver(chatMessagePacket(37, u"0Tester", u"hello"));
    composeAll();
    const std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("messenger_Chat.png"), picture.data(), 640, 480, 640);
    const uint64_t hash = test::surfaceHash(picture.data(), 640, 480, 640);
    EXPECT_EQ(hash, 0xbd95f21493c62cafull) << std::hex << hash;
}

// The inner frame follows the split: the separator above the input line and
// the one left of the user list show their edge pictures tiled from the
// split's corner, for a window resized and split anew.
TEST_F(ChatPictures, TheSeparatorsLieWhereTheSplitIs)
{
    ChatWindow* window = open();
    ASSERT_NE(window, nullptr);
    window->resize(520, 400, false);
    window->setSplit(150, 100);
    window->moveBy(30, 20, true, nullptr, false);
    composeAll();
    const std::vector<uint16_t> picture = screenPicture();
    int32_t edgeWidth = 0, edgeHeight = 0, sideWidth = 0, sideHeight = 0;
    ASSERT_TRUE(getGumpArtSize(2700, edgeWidth, edgeHeight));
    ASSERT_TRUE(getGumpArtSize(2701, sideWidth, sideHeight));
    const int32_t splitX = 520 - 150;
    const int32_t splitY = 400 - 100;
    auto at = [&](int32_t x, int32_t y) { return picture[size_t(y + 20) * 640 + size_t(x + 30)]; };
    int32_t differing = 0;
    for (int32_t x = sideWidth; x < splitX; ++x)
        for (int32_t y = 0; y < edgeHeight; ++y)
            differing += at(x, splitY + y) != getGumpArtPixel(2700, (x - sideWidth) % edgeWidth, y);
    for (int32_t y = edgeHeight; y < 400 - edgeHeight; ++y)
        for (int32_t x = 0; x < sideWidth; ++x)
            differing += at(splitX + x, y) != getGumpArtPixel(2701, x, (y - edgeHeight) % sideHeight);
    EXPECT_EQ(differing, 0);
    // The divider's grip stands in the corner the split makes.
    int32_t gripWidth = 0, gripHeight = 0;
    ASSERT_TRUE(getGumpArtSize(2703, gripWidth, gripHeight));
    int32_t gripPixels = 0;
    for (int32_t y = 0; y < gripHeight; ++y)
        for (int32_t x = 0; x < gripWidth; ++x) {
            const uint16_t art = getGumpArtPixel(2703, x, y);
            if (art == 0)
                continue;
            ++gripPixels;
            differing += at(splitX - gripWidth + x, splitY - gripHeight + y) != art;
        }
    EXPECT_GT(gripPixels, 0);
    EXPECT_EQ(differing, 0);
}

} // namespace
