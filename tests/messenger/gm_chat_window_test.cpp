// The GM chat window as a GM's request opens it over the messenger
// connection: the "/i" lines of its opening, typed lines as "/m", the GM's
// lines in its chat text, both ways of closing it, and its layout.

#include "gump/gump_manager.h"
#include "gump/text_list.h"
#include "messenger/gm_chat_window.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_links.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_test_support.h"
#include "support/messenger_desktop.h"

#include <gtest/gtest.h>

namespace {

class GmChatTest : public test::MessengerDesktop {
protected:
    void TearDown() override
    {
        if (GmChatWindow* window = gmChatWindow())
            closeGump(window);
        gmChatPlacement() = {};
    }
    messenger_test::RecordingNotices notices;
    messenger_test::Loopback loopback;
    MessengerServices m_services;
};

TEST_F(GmChatTest, AcceptingSendsTheJoinLineTwiceAndTypedLinesGoOut)
{
    openGmChatWindow();
    GmChatWindow* window = gmChatWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/i 0 \r\n", u"/i 0 \r\n" }));
    closeGump(window);
    loopback.takeSent();

    handleMessengerLine(u"/i  7 Kendra");
    service<GmChatWindows>().open();
    window = gmChatWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/i 7 Kendra\r\n", u"/i 7 Kendra\r\n" }));
    EXPECT_EQ(window->titleList()->lines().back().text, u"VARDUN ONLINE GM CHAT");

    TextList* entry = window->entryLine();
    int32_t x = entry->width() / 2, y = entry->height() / 2;
    entry->localToScreen(x, y);
    click(x, y);
    ASSERT_EQ(gumpFocus(), entry);
    for (char16_t c : std::u16string(u"my horse is stuck"))
        gumpFocus()->onKey(c);
    gumpFocus()->onKey(13);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/m 7 Kendra my horse is stuck\r\n" }));
    EXPECT_TRUE(entry->editText().empty());
}

TEST_F(GmChatTest, TheGmsLinesShowInTheOrdinaryColoursAndAnEndClosesTheWindow)
{
    handleMessengerLine(u"/i  7 Kendra");
    openGmChatWindow();
    GmChatWindow* window = gmChatWindow();
    ASSERT_NE(window, nullptr);
    loopback.takeSent();
    handleMessengerLine(u"/m  7 Kendra Where are you?");
    const TextListLine& line = window->chatList()->lines().back();
    EXPECT_EQ(line.text, u"Kendra: Where are you?");
    EXPECT_EQ(line.colour, 0x7FE0);
    EXPECT_EQ(line.highlightColour, 0x3DE0);
    EXPECT_EQ(line.highlightEnd, 5);
    handleMessengerLine(u"/e  7 Kendra");
    EXPECT_EQ(gmChatWindow(), nullptr);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/e 7 Kendra\r\n" }));
    handleMessengerLine(u"/m  7 Kendra late");
}

TEST_F(GmChatTest, TheCloseButtonEndsTheSessionAndARightClickDoesNot)
{
    handleMessengerLine(u"/i  3 Brom");
    openGmChatWindow();
    GmChatWindow* window = gmChatWindow();
    ASSERT_NE(window, nullptr);
    loopback.takeSent();
    int32_t x = window->width() / 2, y = 2;
    window->localToScreen(x, y);
    pressRight(x, y);
    releaseRight(x, y);
    ASSERT_EQ(gmChatWindow(), window);
    // The button's release lets the pointer go, as the program's mouse code does.
    pointer.capture = nullptr;
    CGump* close = window->closeButton();
    x = close->width() / 2;
    y = close->height() / 2;
    close->localToScreen(x, y);
    click(x, y);
    EXPECT_EQ(gmChatWindow(), nullptr);
    EXPECT_EQ(loopback.takeSent(), (std::vector<std::u16string> { u"/e 3 Brom\r\n" }));
}

TEST_F(GmChatTest, TheEntrySeparatorNeverRisesAbove90)
{
    openGmChatWindow();
    GmChatWindow* window = gmChatWindow();
    ASSERT_NE(window, nullptr);
    window->resize(300, 200, false);
    EXPECT_EQ(window->piece(3)->y(), 90);
    window->resize(300, 400, false);
    EXPECT_EQ(window->piece(3)->y(), 400 - kGmChatEntryHeight);
    EXPECT_GT(window->entryLine()->y(), window->piece(3)->y());
}

TEST_F(GmChatTest, NoWindowOpensWithoutAMessengerConnection)
{
    deleteMessengerSocket();
    openGmChatWindow();
    EXPECT_EQ(gmChatWindow(), nullptr);
}

} // namespace
