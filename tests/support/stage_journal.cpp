// The text windows' share of the stage: a tip of the day on entering, and
// a property list for every thing of the scene and for the woman, answered
// to either form of request (0xBF 0x10 one object, 0xD6 many).
#include "support/stage_journal.h"

#include "fixtures/sample_journal_art.h"
#include "fixtures/sample_scene.h"
#include "fixtures/server_packet.h"
#include "support/stage_world.h"

#include <string>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint16_t kListRequestCommand = 0x10;
constexpr uint32_t kStageListRevision = 1;
constexpr uint32_t kFirstThingSerial = 0x40000000;
constexpr size_t kMaxSerialsAnswered = 15;
// The woman and the things of the scene: the backpack and what it holds, the
// things on the ground and worn.
constexpr uint32_t kListedSerials[] = { fixture::kSceneWomanSerial, 0x40000010, 0x40000100, 0x40000201, 0x40000202,
    0x40000203, 0x40000204, 0x40000205, 0x40000301, 0x40000302, 0x40000401, 0x40000402, 0x40001000 };

uint32_t journalBe32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

class StageJournal final : public StagePart {
public:
    void enter(StageWorld&, std::vector<WirePacket>& out) override
    {
        const std::string text = kStageTipText;
        out.push_back(ServerPacket(0xA6).u8(0).u32(kStageTipNumber).u16(uint16_t(text.size())).text(text, text.size()).bytes());
        // Each object's list revision, which has the client ask for the list.
        for (uint32_t serial : kListedSerials)
            out.push_back(ServerPacket(0xDC, ServerPacket::Length::Fixed).u32(serial).u32(kStageListRevision).bytes());
    }

    bool answer(StageWorld&, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        if (packet[0] == 0xBF) {
            if (packet.size() < 9 || (packet[3] << 8 | packet[4]) != kListRequestCommand)
                return false;
            list(journalBe32(packet, 5), out);
            return true;
        }
        if (packet[0] != 0xD6 || packet.size() < 3)
            return false;
        for (size_t at = 3, n = 0; at + 4 <= packet.size() && n < kMaxSerialsAnswered; at += 4, ++n)
            list(journalBe32(packet, at), out);
        return true;
    }

private:
    static void line(ServerPacket& packet, uint32_t message, std::u16string_view text)
    {
        packet.u32(message).u16(uint16_t(text.size() * 2));
        for (char16_t unit : text)
            packet.u8(uint8_t(unit & 0xFF)).u8(uint8_t(unit >> 8));
    }

    static void list(uint32_t serial, std::vector<WirePacket>& out)
    {
        const bool woman = serial == fixture::kSceneWomanSerial;
        if (!woman && serial < kFirstThingSerial)
            return;
        ServerPacket packet(0xD6);
        packet.u16(1).u32(serial).u16(0).u32(kStageListRevision);
        if (woman) {
            line(packet, fixture::kSamplePlainLineText, u"the woman");
            line(packet, fixture::kSampleSecondLineText, u"a stage hand");
        } else {
            line(packet, fixture::kSamplePlainLineText, u"a thing of the stage");
            line(packet, fixture::kSampleSecondLineText, u"weight: 1 stone");
        }
        packet.u32(0);
        out.push_back(packet.bytes());
    }
};

} // namespace

std::unique_ptr<StagePart> makeStageJournal() { return std::make_unique<StageJournal>(); }

} // namespace test
