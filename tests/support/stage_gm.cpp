// The GM page queue's share of the stage: a character of the "gm" account
// entering the world hears that one call waits in the queue (0xCB) and is
// given it (0xC3): Mirela, on the stage, is stuck. The GM's commands are
// spoken ("=go #serial" takes him beside the customer; the others are
// taken silently, as a server takes its GM commands) or sent as text
// commands: a resolution (0x12 0xDB, or the queue command 0x12 0xF7 for an
// escalated call) empties the queue; an escalation (0x12 0xEF) hands the
// call back escalated, as a queue with no GM above this one does.
#include "support/stage_gm.h"

#include "fixtures/sample_scene.h"
#include "fixtures/server_packet.h"
#include "support/stage_world.h"

#include <string>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint32_t kGmQueueEscalated = 0xFFFFFFF0;
constexpr uint32_t kGmCallAge = 3725;
constexpr uint32_t kGmCallStuck = 0;
constexpr uint8_t kGmVisList = 0x6B;
constexpr uint8_t kGmResolve = 0xDB;
constexpr uint8_t kGmEscalate = 0xEF;
constexpr uint8_t kGmQueueCommand = 0xF7;

WirePacket gmQueueCountPacket(uint32_t count)
{
    return ServerPacket(0xCB, ServerPacket::Length::Fixed).u16(0).u32(count).bytes();
}

std::vector<uint8_t> gmCounted(std::string_view text)
{
    std::vector<uint8_t> bytes;
    bytes.push_back(uint8_t(text.size()));
    for (char c : text)
        bytes.push_back(uint8_t(c));
    return bytes;
}

class StageGm final : public StagePart {
public:
    void enter(StageWorld& stage, std::vector<WirePacket>& out) override
    {
        m_escalated = false;
        if (stage.accountName() != kStageGmAccount)
            return;
        out.push_back(gmQueueCountPacket(1));
        out.push_back(callPacket(stage));
    }

    bool answer(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        if (stage.accountName() != kStageGmAccount)
            return false;
        if (packet[0] == 0x03 || packet[0] == 0xAD) {
            const std::u16string said = spokenText(packet);
            if (said.empty() || said.front() != u'=')
                return false;
            goTo(stage, std::string(said.begin(), said.end()), out);
            return true;
        }
        if (packet[0] != 0x12 || packet.size() < 4)
            return false;
        switch (packet[3]) {
        case kGmVisList:
            return true;
        case kGmResolve:
        case kGmQueueCommand:
            out.push_back(gmQueueCountPacket(0));
            return true;
        case kGmEscalate:
            m_escalated = true;
            out.push_back(callPacket(stage));
            return true;
        default:
            return false;
        }
    }

private:
    // "=go #serial": the GM stands beside the figure.
    static void goTo(StageWorld& stage, const std::string& command, std::vector<WirePacket>& out)
    {
        constexpr std::string_view kGo = "=go #";
        if (command.compare(0, kGo.size(), kGo) != 0)
            return;
        const std::string number = command.substr(kGo.size());
        if (number.empty() || number.size() > 10 || number.find_first_not_of("0123456789") != std::string::npos)
            return;
        int32_t x = 0, y = 0;
        if (stage.cellOf(uint32_t(std::stoul(number)), x, y))
            stage.placePlayer(x + 1, y, out);
    }

    WirePacket callPacket(StageWorld& stage) const
    {
        int32_t x = 0, y = 0;
        stage.cellOf(fixture::kSceneWomanSerial, x, y);
        ServerPacket packet(0xC3);
        packet.u32(0).u32(m_escalated ? kGmQueueEscalated : kStageGmCallId).u32(1).u32(2);
        packet.u32(fixture::kSceneWomanSerial);
        if (m_escalated)
            packet.bytes(gmCounted(kStageGmEscalatedId)).u8(1).bytes(gmCounted("Stuck, escalated"));
        packet.bytes(gmCounted("Mirela")).u16(0).bytes(gmCounted("Test Shard"));
        packet.u32(kGmCallAge).u16(0).u32(uint32_t(x)).u32(uint32_t(y)).u32(0);
        packet.u32(1).u32(2).u32(0).u32(kGmCallStuck).u8(1);
        packet.bytes({ 'E', 'N', 'U' });
        const std::u16string_view text = kStageGmCallText;
        packet.u16(uint16_t(text.size()));
        for (char16_t unit : text)
            packet.u8(uint8_t(unit & 0xFF)).u8(uint8_t(unit >> 8));
        return packet.bytes();
    }

    bool m_escalated = false;
};

} // namespace

std::unique_ptr<StagePart> makeStageGm() { return std::make_unique<StageGm>(); }

} // namespace test
