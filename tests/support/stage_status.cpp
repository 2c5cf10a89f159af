// The status windows' share of the stage: the player's full status and stat
// locks on entering, his stamina falling and rising as he walks, the stat
// locks he sets answered, the profiles of the scene's figures (the player's
// own kept as he edits it), a rename of the horse, and the equipment
// information of the shirt in the backpack when it is clicked.
#include "support/stage_status.h"

#include "fixtures/sample_scene.h"
#include "fixtures/sample_status_art.h"
#include "fixtures/server_packet.h"
#include "support/stage_world.h"

#include <algorithm>
#include <cstring>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint32_t kSceneShirtSerial = 0x40000205;
constexpr uint16_t kStatLockCommand = 0x1A;
constexpr uint16_t kStatusMaxStamina = 60;
constexpr uint16_t kStatusLowStamina = 40;

uint32_t statusBe32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

uint16_t statusBe16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

class StageStatus final : public StagePart {
public:
    void populate(StageWorld&) override
    {
        m_locks = 0;
        m_stamina = kStatusMaxStamina;
        m_profile = u"I came to the stage to walk.";
        m_horseName = "a horse";
    }

    void enter(StageWorld& stage, std::vector<WirePacket>& out) override
    {
        out.push_back(fullStatus(stage));
        out.push_back(lockReport(stage));
    }

    bool answer(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        switch (packet[0]) {
        case 0x02:
            if (packet.size() < 7)
                return false;
            // Each step costs stamina until it is low, then it comes back;
            // the step itself is the stage's to answer.
            m_stamina = m_stamina > kStatusLowStamina ? uint16_t(m_stamina - 2) : kStatusMaxStamina;
            out.push_back(ServerPacket(0xA3, ServerPacket::Length::Fixed)
                              .u32(stage.playerSerial())
                              .u16(kStatusMaxStamina)
                              .u16(m_stamina)
                              .bytes());
            return false;
        case 0x34:
            if (packet.size() < 10 || packet[5] != StageWorld::kStatusBarRequest || statusBe32(packet, 6) != stage.playerSerial())
                return false;
            out.push_back(fullStatus(stage));
            out.push_back(lockReport(stage));
            return true;
        case 0xBF:
            if (packet.size() < 7 || statusBe16(packet, 3) != kStatLockCommand || packet[5] > 2 || packet[6] > 2)
                return false;
            m_locks = uint8_t((m_locks & ~(3 << (4 - 2 * packet[5]))) | packet[6] << (4 - 2 * packet[5]));
            out.push_back(lockReport(stage));
            return true;
        case 0xB8:
            return profile(stage, packet, out);
        case 0x75:
            if (packet.size() < 35 || statusBe32(packet, 1) != fixture::kSceneHorseSerial)
                return false;
            m_horseName.assign(reinterpret_cast<const char*>(packet.data()) + 5,
                ::strnlen(reinterpret_cast<const char*>(packet.data()) + 5, 30));
            out.push_back(ServerPacket(0x11)
                              .u32(fixture::kSceneHorseSerial)
                              .text(m_horseName, 30)
                              .u16(80)
                              .u16(80)
                              .u8(0)
                              .u8(0)
                              .bytes());
            return true;
        case 0x09:
            if (packet.size() < 5 || statusBe32(packet, 1) != kSceneShirtSerial)
                return false;
            out.push_back(ServerPacket(0xBF)
                              .u16(0x10)
                              .u32(kSceneShirtSerial)
                              .u32(fixture::kSampleShirtNameText)
                              .u32(0xFFFFFFFD)
                              .u16(5)
                              .text("Tamsy", 5)
                              .u32(fixture::kSampleDurabilityText)
                              .u16(30)
                              .u32(fixture::kSampleBlessedText)
                              .u16(0xFFFF)
                              .u32(0xFFFFFFFF)
                              .bytes());
            return true;
        default:
            return false;
        }
    }

private:
    WirePacket fullStatus(StageWorld& stage) const
    {
        ServerPacket packet(0x11);
        packet.u32(stage.playerSerial()).text(stage.playerName(), 30).u16(72).u16(90).u8(0).u8(5);
        packet.u8(0).u16(60).u16(45).u16(35); // strength, dexterity, intelligence
        packet.u16(m_stamina).u16(kStatusMaxStamina).u16(30).u16(35); // stamina, mana
        packet.u32(1234).u16(12).u16(140).u16(250).u8(1); // gold, armour, weight, max weight, race
        packet.u16(225).u8(1).u8(5); // stat cap, followers
        packet.u16(10).u16(15).u16(20).u16(0xFFFB).u16(7); // resistances and luck
        packet.u16(4).u16(9).u32(300); // damage and tithing
        return packet.bytes();
    }

    WirePacket lockReport(StageWorld& stage) const
    {
        return ServerPacket(0xBF).u16(0x19).u8(2).u32(stage.playerSerial()).u8(0).u8(m_locks).bytes();
    }

    bool profile(StageWorld& stage, const WirePacket& packet, std::vector<WirePacket>& out)
    {
        if (packet.size() < 8)
            return false;
        const uint32_t serial = statusBe32(packet, 4);
        if (packet[3] == 1) {
            // The player's new text: 1, the length in units, then the units.
            if (serial != stage.playerSerial() || packet.size() < 12)
                return true;
            const size_t units = std::min<size_t>(statusBe16(packet, 10), (packet.size() - 12) / 2);
            m_profile.clear();
            for (size_t i = 0; i < units; ++i)
                m_profile.push_back(char16_t(statusBe16(packet, 12 + 2 * i)));
            return true;
        }
        const bool own = serial == stage.playerSerial();
        if (!own && serial != fixture::kSceneWomanSerial && serial != fixture::kSceneHorseSerial)
            return true;
        ServerPacket reply(0xB8);
        reply.u32(serial);
        const std::string title = own ? stage.playerName() + " the Walker" : "A figure of the stage";
        reply.text(title, title.size() + 1);
        reply.unicode(u"Met on the stage.");
        reply.unicode(own ? std::u16string(m_profile) : u"Nothing to say.");
        out.push_back(reply.bytes());
        return true;
    }

    uint8_t m_locks = 0;
    uint16_t m_stamina = kStatusMaxStamina;
    std::u16string m_profile;
    std::string m_horseName;
};

} // namespace

std::unique_ptr<StagePart> makeStageStatus() { return std::make_unique<StageStatus>(); }

} // namespace test
