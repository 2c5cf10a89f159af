// The conference chat's share of the stage: opening chat (0xB5) puts the
// player into the "Lobby" conference with two users, a robot operator who
// greets him and a quiet one; "Guild" is offered beside it.
// Every line he types is shown back as his and the robot answers it; a
// private message to the robot is answered privately; joining "Guild"
// switches conference; closing the window ("X") leaves chat.
#include "support/stage_chat.h"

#include "fixtures/server_packet.h"

#include <string>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr size_t kChatOpenBytes = 64;
constexpr size_t kChatNameUnits = 30;
constexpr size_t kChatLineStart = 7;

WirePacket chatMessage(uint16_t number, std::u16string_view first, std::u16string_view second)
{
    ServerPacket packet(0xB2);
    packet.u16(number).fill(4, 0).unicode(first).unicode(second);
    return packet.bytes();
}

std::u16string unitsFrom(const WirePacket& packet, size_t at, size_t limit)
{
    std::u16string text;
    for (size_t i = at; i + 1 < packet.size() && text.size() < limit; i += 2) {
        const char16_t unit = char16_t(packet[i] << 8 | packet[i + 1]);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

class StageChat final : public StagePart {
public:
    bool answer(StageWorld&, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        if (packet[0] == 0xB5 && packet.size() == kChatOpenBytes) {
            std::u16string name = unitsFrom(packet, 2, kChatNameUnits);
            m_name = name.empty() ? std::u16string(kStageChatName) : name;
            out.push_back(chatMessage(1005, m_name, u""));
            out.push_back(chatMessage(1000, kStageChatLobby, u"0"));
            out.push_back(chatMessage(1000, kStageChatGuild, u"0"));
            join(kStageChatLobby, out);
            return true;
        }
        if (packet[0] != 0xB3 || packet.size() <= kChatLineStart || m_name.empty())
            return packet[0] == 0xB3 || packet[0] == 0xB5;
        const std::u16string line = unitsFrom(packet, kChatLineStart, 1024);
        if (line.empty())
            return true;
        const std::u16string rest = line.substr(1);
        switch (line[0]) {
        case u'a':
            out.push_back(chatMessage(37, u"0" + m_name, rest));
            out.push_back(chatMessage(37, std::u16string(u"1") + kStageChatRobot, u"You said: " + rest));
            break;
        case u'b':
            // The conference's name in quotes.
            if (rest.size() > 2 && rest.front() == u'"' && rest.back() == u'"')
                join(rest.substr(1, rest.size() - 2), out);
            break;
        case u'e':
            out.push_back(chatMessage(38, std::u16string(u"1") + kStageChatRobot, u"Only you can read this."));
            break;
        case u'X':
            m_name.clear();
            break;
        default:
            out.push_back(chatMessage(9999, u"", u""));
            break;
        }
        return true;
    }

private:
    void join(std::u16string_view conference, std::vector<WirePacket>& out)
    {
        out.push_back(chatMessage(1008, u"", u""));
        out.push_back(chatMessage(1009, conference, u""));
        out.push_back(chatMessage(1006, u"0" + m_name, u""));
        out.push_back(chatMessage(1006, std::u16string(u"1") + kStageChatRobot, u""));
        out.push_back(chatMessage(1006, std::u16string(u"0") + kStageChatUser, u""));
        out.push_back(chatMessage(37, std::u16string(u"1") + kStageChatRobot,
            conference == kStageChatLobby ? std::u16string(kStageChatGreeting) : u"Welcome, guild member."));
    }

    std::u16string m_name;
};

} // namespace

std::unique_ptr<StagePart> makeStageChat() { return std::make_unique<StageChat>(); }

} // namespace test
