// The party's share of the stage. Saying "party" has the woman invite the
// player; accepting makes a party of the two with her leading, and she
// greets him in party chat. Party messages go back to the party as the
// server relays them, and she answers each one; a tell to her is answered by
// a tell. Leaving, or the leader removing a member, ends the party. Asking to
// add a member brings a target cursor; targeting the woman outside a party
// makes one with the player leading. Every request is logged for the tests.
#include "support/stage_party.h"

#include "fixtures/sample_scene.h"
#include "fixtures/server_packet.h"
#include "support/stage_world.h"

#include <algorithm>
#include <mutex>
#include <string>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint16_t kPartyCommand = 6;
enum StagePartyAction : uint8_t {
    kStageMembers = 1,
    kStageRemove = 2,
    kStageTell = 3,
    kStageChat = 4,
    kStageLoot = 6,
    kStageInvite = 7,
    kStageAccept = 8,
    kStageDecline = 9,
};
constexpr uint32_t kStageWoman = fixture::kSceneWomanSerial;
constexpr uint16_t kPartySystemHue = 0x0035;

uint32_t partyBe32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

uint16_t partyBe16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

// Big-endian units from `at` up to a zero unit or the end.
std::u16string partyText(const WirePacket& packet, size_t at)
{
    std::u16string text;
    for (; at + 2 <= packet.size(); at += 2) {
        const char16_t unit = char16_t(partyBe16(packet, at));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

std::mutex& partyLogLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<StagePartyRequest>& partyLog()
{
    static std::vector<StagePartyRequest> log;
    return log;
}

ServerPacket partyPacket(uint8_t action)
{
    ServerPacket packet(0xBF);
    packet.u16(kPartyCommand).u8(action);
    return packet;
}

WirePacket partyLine(uint8_t action, uint32_t sender, std::u16string_view text)
{
    return partyPacket(action).u32(sender).unicode(text).bytes();
}

WirePacket partySystemLine(const std::string& text)
{
    return asciiSpeechPacket(0xFFFFFFFF, 0xFFFF, 0, kPartySystemHue, 3, "System", text);
}

class StageParty final : public StagePart {
public:
    void populate(StageWorld&) override
    {
        m_members.clear();
        m_invited = false;
        m_adding = false;
        std::lock_guard<std::mutex> guard(partyLogLock());
        partyLog().clear();
    }

    bool answer(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        switch (packet[0]) {
        case 0x03:
        case 0xAD:
            // The speech itself is the stage's to say back.
            if (m_members.empty() && spokenText(packet).find(u"party") != std::u16string::npos) {
                m_invited = true;
                out.push_back(partyPacket(kStageInvite).u32(kStageWoman).bytes());
                out.push_back(partySystemLine("Mirela invites you to her party. Type /accept or /decline."));
            }
            return false;
        case 0x6C:
            if (packet.size() < 19 || partyBe32(packet, 2) != kStagePartyCursor || !m_adding)
                return false;
            m_adding = false;
            target(stage, partyBe32(packet, 7), out);
            return true;
        case 0xBF:
            if (packet.size() < 6 || partyBe16(packet, 3) != kPartyCommand)
                return false;
            request(stage, packet, out);
            return true;
        default:
            return false;
        }
    }

private:
    static void log(uint8_t action, uint32_t value, std::u16string text = {})
    {
        std::lock_guard<std::mutex> guard(partyLogLock());
        partyLog().push_back({ action, value, std::move(text) });
    }

    void request(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out)
    {
        const uint8_t action = packet[5];
        const uint32_t self = stage.playerSerial();
        const uint32_t serial = packet.size() >= 10 ? partyBe32(packet, 6) : 0;
        switch (action) {
        case kStageMembers:
            log(action, serial);
            m_adding = true;
            out.push_back(ServerPacket(0x6C, ServerPacket::Length::Fixed)
                              .u8(0)
                              .u32(kStagePartyCursor)
                              .u8(0)
                              .fill(12, 0)
                              .bytes());
            out.push_back(partySystemLine("Whom would you add to your party?"));
            return;
        case kStageRemove:
            log(action, serial);
            if (serial == self || serial == kStageWoman) {
                out.push_back(partyPacket(kStageRemove).u8(0).u32(self).bytes());
                out.push_back(partySystemLine("The party is over."));
                m_members.clear();
            }
            return;
        case kStageTell: {
            std::u16string text = packet.size() >= 10 ? partyText(packet, 10) : std::u16string();
            log(action, serial, text);
            if (serial == kStageWoman && !m_members.empty())
                out.push_back(partyLine(kStageTell, kStageWoman,
                    u"You told me: " + text.substr(std::min(text.size(), text.find_first_not_of(u' ')))));
            return;
        }
        case kStageChat: {
            std::u16string text = partyText(packet, 6);
            log(action, 0, text);
            if (m_members.empty())
                return;
            out.push_back(partyLine(kStageChat, self, text));
            out.push_back(partyLine(kStageChat, kStageWoman, u"I hear you: " + text));
            return;
        }
        case kStageLoot:
            log(action, packet.size() >= 7 ? packet[6] : 0);
            return;
        case kStageAccept:
            log(action, serial);
            if (!m_invited || serial != kStageWoman)
                return;
            m_invited = false;
            members({ kStageWoman, self }, out);
            out.push_back(womanStatus());
            out.push_back(partyLine(kStageChat, kStageWoman, kStagePartyWelcome));
            return;
        case kStageDecline:
            log(action, serial);
            if (m_invited && serial == kStageWoman)
                out.push_back(partySystemLine("Mirela shrugs."));
            m_invited = false;
            return;
        default:
            log(action, serial);
            return;
        }
    }

    void target(StageWorld& stage, uint32_t serial, std::vector<WirePacket>& out)
    {
        if (serial != kStageWoman) {
            out.push_back(partySystemLine(serial == 0 ? "No one was added." : "That cannot join a party."));
            return;
        }
        if (!m_members.empty()) {
            out.push_back(partySystemLine("Mirela is in your party already."));
            return;
        }
        members({ stage.playerSerial(), kStageWoman }, out);
        out.push_back(womanStatus());
        out.push_back(partyLine(kStageChat, kStageWoman, kStagePartyThanks));
    }

    // Her name ahead of her first party line, as a server introduces a new
    // member before relaying what she says.
    static WirePacket womanStatus() { return statusPacket(kStageWoman, "Mirela", 50, 50, 60); }

    void members(std::vector<uint32_t> serials, std::vector<WirePacket>& out)
    {
        m_members = std::move(serials);
        ServerPacket list = partyPacket(kStageMembers);
        list.u8(uint8_t(m_members.size()));
        for (uint32_t member : m_members)
            list.u32(member);
        out.push_back(list.bytes());
    }

    std::vector<uint32_t> m_members; // the leader first; empty outside a party
    bool m_invited = false;
    bool m_adding = false;
};

} // namespace

std::vector<StagePartyRequest> stagePartyRequests()
{
    std::lock_guard<std::mutex> guard(partyLogLock());
    return partyLog();
}

std::unique_ptr<StagePart> makeStageParty() { return std::make_unique<StageParty>(); }

} // namespace test
