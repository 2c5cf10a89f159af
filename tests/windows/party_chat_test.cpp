// The party chat as the program opens it: refused outside a party, one
// window at (1, 1) inside one, the party's messages added while it is open,
// and its pieces placed again when the resize outline hands it a new size.

#include "windows/windows_test_support.h"

#include "fixtures/server_packet.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gump/button.h"
#include "gump/control_gump.h"
#include "gump/gump_manager.h"
#include "gump/text_list.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "protocol/protocol_handlers.h"
#include "protocol/world_packet_windows.h"
#include "windows/party_chat_gump.h"
#include "windows/party_table.h"
#include "windows/resize_gump.h"
#include "windows/speech_services.h"
#include "windows/status_window_services.h"
#include "world/mobile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fixture::ServerPacket;

constexpr uint32_t kChatLeader = 0x00000C21;

class PartyChatTest : public windows_test::WindowDesktop {
protected:
    PartyChatTest()
    {
        registerProtocolHandlers();
        addMobile(kChatLeader, player()->x - 1, player()->y);
        partyTable().init();
    }
    ~PartyChatTest() override
    {
        closeGump(currentPartyChat());
        partyTable().init();
        clearPacketHandlers();
    }
    void dispatch(const std::vector<uint8_t>& bytes) { dispatchGamePacket(*currentGameConnection(), bytes.data()); }
    void join()
    {
        dispatch(ServerPacket(0xBF).u16(6).u8(1).u8(2).u32(kChatLeader).u32(player()->serial).bytes());
        service<StatusWindows>().partyMemberName(kChatLeader, "Mirela");
    }
    static PartyChatGump* openChat()
    {
        service<PartyState>().openPartyChat();
        return currentPartyChat();
    }
    static std::vector<std::u16string> shownLines(PartyChatGump& chat)
    {
        std::vector<std::u16string> lines;
        for (const TextListLine& line : chat.list()->lines())
            lines.push_back(line.text);
        return lines;
    }

    StatusWindowServices statusServices;
};

TEST_F(PartyChatTest, OpensOnlyInAPartyOnceAndCollectsThePartysMessages)
{
    EXPECT_EQ(openChat(), nullptr) << "no party";
    join();
    PartyChatGump* chat = openChat();
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(openChat(), chat) << "one window, raised again";
    EXPECT_EQ(chat->x(), 1);
    EXPECT_EQ(chat->y(), 1);
    EXPECT_EQ(chat->width(), 200);
    EXPECT_EQ(chat->height(), 100);
    dispatch(ServerPacket(0xBF).u16(6).u8(4).u32(kChatLeader).unicode(u"to the bridge").bytes());
    dispatch(ServerPacket(0xBF).u16(6).u8(3).u32(kChatLeader).unicode(u"just you").bytes());
    EXPECT_EQ(shownLines(*chat),
        (std::vector<std::u16string> { u"Party Chat", u"[Mirela]: to the bridge", u"[Mirela]: just you" }));
    EXPECT_EQ(chat->list()->lines().back().colour, hueTable().entry(144 - 1).colours.back())
        << "the party message hue's colour";
    pressRight(chat->x() + 100, chat->y() + 50);
    releaseRight(chat->x() + 100, chat->y() + 50);
    EXPECT_EQ(currentPartyChat(), nullptr) << "a right click closes it";
}

// The grip starts a resize outline that may reach the screen's edges; the
// size it hands back puts the grip in the new corner and stretches the
// frame, the list and the scroll bar.
TEST_F(PartyChatTest, AResizeTo300By200PlacesThePiecesAgain)
{
    join();
    PartyChatGump* chat = openChat();
    ASSERT_NE(chat, nullptr);
    const ResizeLimits limits = resizeLimitsFor(*chat, 640, 480);
    EXPECT_EQ(limits.maxWidth, 640 - chat->x()) << "the width may grow as a chat window's";
    chat->resize(300, 200, false);
    int32_t edgeWidth = 0, edgeHeight = 0, sideWidth = 0, sideHeight = 0, gripWidth = 0, gripHeight = 0, arrowWidth = 0,
            arrowHeight = 0;
    getGumpArtSize(FramedList::kEdgeArt, edgeWidth, edgeHeight);
    getGumpArtSize(FramedList::kSideArt, sideWidth, sideHeight);
    getGumpArtSize(PartyChatGump::kGripArt, gripWidth, gripHeight);
    getGumpArtSize(ScrollBarParts::kDownArt, arrowWidth, arrowHeight);
    EXPECT_EQ(chat->width(), 300);
    EXPECT_EQ(chat->height(), 200);
    EXPECT_EQ(chat->grip()->x(), 300 - gripWidth - sideWidth);
    EXPECT_EQ(chat->grip()->y(), 200 - gripHeight - edgeHeight);
    TextList* lines = chat->list();
    EXPECT_EQ(lines->x(), sideWidth + arrowWidth);
    EXPECT_EQ(lines->y(), edgeHeight);
    EXPECT_EQ(lines->width(), 300 - 2 * sideWidth - arrowWidth);
    EXPECT_EQ(lines->height(), 200 - 2 * edgeHeight);
    EXPECT_EQ(chat->scrollBar()->height(), 200 - 2 * edgeHeight);
    // The bottom edge and the right side reach the new corner, and no further.
    EXPECT_TRUE(chat->containsPoint(150, 199));
    EXPECT_TRUE(chat->containsPoint(299, 100));
    EXPECT_FALSE(chat->containsPoint(300, 100));
    EXPECT_FALSE(chat->containsPoint(150, 200));
}

} // namespace
