// The server's side of the conference chat: numbered messages (0xB2) and
// lines (0xB3) acted on in the open chat window, and the requests that ask
// the server to open chat (0xB5).

#include "messenger/chat_text.h"
#include "messenger/chat_window.h"

#include "gump/gump_manager.h"
#include "gump/text_list.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"

#include <cstring>
#include <string>

namespace {

// The first and last numbered messages that only show their entry.
constexpr int32_t kEntryOffset = 20;

std::string languageTag(const std::array<char, 4>& language)
{
    return std::string(language.data(), strnlen(language.data(), 3));
}

void addSpeakerLine(ChatWindow& window, const ChatMessage& message)
{
    int32_t type = chatStatusOf(message.first);
    const std::u16string_view name = chatNameOf(message.first);
    if (name == window.ownName())
        type = 4;
    int32_t nameStart = -1;
    int32_t nameEnd = -1;
    const std::u16string text
        = formatChatMessage(chatEntry(message.number + kEntryOffset), name, message.second, nameStart, nameEnd);
    window.addSpeechLine(text, type, nameStart, nameEnd, languageTag(message.language));
}

void openChatWindow(std::u16string_view ownName)
{
    // One window at a time: a second opening keeps the open one.
    if (ChatWindow* open = chatWindow()) {
        open->bringToFront(false);
        return;
    }
    const ChatPlacement& placement = chatPlacement();
    ChatWindow* window = placement.saved
        ? new ChatWindow(placement.x, placement.y, placement.width, placement.height, ownName)
        : new ChatWindow(0, 0, kChatDefaultWidth, kChatDefaultHeight, ownName);
    if (placement.saved && placement.minimised)
        window->minimize();
}

void userNameColour(ChatWindow& window, std::u16string_view name)
{
    const int32_t status = chatStatusOf(name);
    const char16_t* setting = status == 1 || status == 3 ? u"ChatColorOpsName"
        : status == 2                                    ? u"ChatColorMutedName"
                                                         : u"ChatColorName";
    window.list(ChatList::kUsers)->updateLine(chatNameOf(name), chatSettingColour(setting), 0, -1, -1);
}

} // namespace

void handleChatMessagePacket(const uint8_t* packet)
{
    ChatMessage message;
    if (!readChatMessage(packet, message))
        return;
    const int32_t number = message.number;
    // The messages that need no window.
    if (number == 1003) {
        new ChatDialog(nullptr, -1, chatEntry(16), chatEntry(17), nullptr);
        return;
    }
    if (number == 1005) {
        openChatWindow(message.first);
        return;
    }
    ChatWindow* window = chatWindow();
    if (!window)
        return;
    int32_t nameStart = -1;
    int32_t nameEnd = -1;
    switch (number) {
    case 3:
        window->addSystemLine(formatChatMessage(chatEntry(23), message.first, message.second, nameStart, nameEnd));
        window->list(ChatList::kUsers)->removeLine(message.first);
        return;
    case 39:
        window->alert();
        [[fallthrough]];
    case 37:
    case 38:
        addSpeakerLine(*window, message);
        return;
    case 1000:
        window->addConference(message.first, !message.second.empty() && message.second[0] == u'1');
        return;
    case 1001:
        window->removeConference(message.first);
        return;
    case 1004:
        closeGump(window);
        return;
    case 1006:
        userNameColour(*window, message.first);
        return;
    case 1007:
        window->list(ChatList::kUsers)->removeLine(message.first);
        return;
    case 1008:
        window->list(ChatList::kUsers)->clear();
        window->setConferenceLine(chatEntry(1));
        return;
    case 1009:
        window->setConferenceLine(message.first);
        window->addSystemLine(formatChatMessage(chatEntry(95), message.first, u"", nameStart, nameEnd));
        return;
    default:
        break;
    }
    if ((number >= 1 && number <= 36) || number == 40 || number == 41) {
        window->addSystemLine(
            formatChatMessage(chatEntry(number + kEntryOffset), message.first, message.second, nameStart, nameEnd));
        return;
    }
    window->list(ChatList::kMessages)
        ->addLine(u"Error", chatSettingColour(u"ChatColorText"), chatSettingColour(u"ChatColorName"), -1, -1);
}

void handleChatTextPacket(const uint8_t* packet)
{
    ChatLine line;
    ChatWindow* window = chatWindow();
    if (!window || !readChatLine(packet, line))
        return;
    const ChatColours colours = chatColoursOf(line.type);
    window->list(ChatList::kMessages)->addLine(line.text, colours.text, colours.name, -1, -1, languageTag(line.language));
}

void registerChatHandlers()
{
    registerPacketHandler(0xB2, handleChatMessagePacket);
    registerPacketHandler(0xB3, handleChatTextPacket);
}

void requestChatOpen(std::u16string_view name)
{
    PacketStorage<64> packet;
    if (buildChatOpenRequest(packet, name))
        sendPacket(packet);
}

void openOrRaiseChat()
{
    if (ChatWindow* window = chatWindow()) {
        window->bringToFront(false);
        return;
    }
    requestChatOpen(u"");
}
