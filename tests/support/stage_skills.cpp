// The skill window's share of the stage: the player's 55 skills with their
// caps when he asks for them, each lock he sets answered with the skill's
// new state, and one skill (Hiding) that rises by 0.1 each time he uses it.
#include "support/stage_skills.h"

#include "fixtures/server_packet.h"
#include "support/stage_world.h"

#include <array>
#include <cstdlib>
#include <string>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint8_t kSkillsRequest = 5;
constexpr uint8_t kUseSkillCommand = 0x24;
constexpr size_t kStageSkillCount = 55;

uint16_t skillsBe16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

class StageSkills final : public StagePart {
public:
    void populate(StageWorld&) override
    {
        // A spread of values: a few tens of points, some skills untrained.
        for (size_t skill = 0; skill < kStageSkillCount; ++skill) {
            m_value[skill] = uint16_t(skill % 3 == 0 ? 0 : 100 + skill * 13 % 600);
            m_lock[skill] = 0;
        }
        m_value[size_t(kStageRisingSkill)] = kStageRisingStart;
    }

    bool answer(StageWorld&, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        switch (packet[0]) {
        case 0x34:
            if (packet.size() < 10 || packet[5] != kSkillsRequest)
                return false;
            out.push_back(fullList());
            return true;
        case 0x3A: {
            if (packet.size() < 6)
                return false;
            const size_t skill = skillsBe16(packet, 3);
            if (skill >= kStageSkillCount || packet[5] > 2)
                return true;
            m_lock[skill] = packet[5];
            out.push_back(oneSkill(skill));
            return true;
        }
        case 0x12: {
            if (packet.size() < 5 || packet[3] != kUseSkillCommand)
                return false;
            const std::string text(packet.begin() + 4, packet.end());
            const size_t skill = size_t(std::atoi(text.c_str()));
            if (skill == size_t(kStageRisingSkill) && text[0] >= '0' && text[0] <= '9') {
                m_value[skill] = uint16_t(m_value[skill] + 1);
                out.push_back(oneSkill(skill));
            }
            return true;
        }
        default:
            return false;
        }
    }

private:
    uint16_t base(size_t skill) const { return uint16_t(m_value[skill] - m_value[skill] / 10); }

    WirePacket fullList() const
    {
        ServerPacket packet(0x3A);
        packet.u8(2);
        for (size_t skill = 0; skill < kStageSkillCount; ++skill)
            packet.u16(uint16_t(skill + 1)).u16(m_value[skill]).u16(base(skill)).u8(m_lock[skill]).u16(1000);
        packet.u16(0);
        return packet.bytes();
    }

    WirePacket oneSkill(size_t skill) const
    {
        return ServerPacket(0x3A)
            .u8(0xDF)
            .u16(uint16_t(skill))
            .u16(m_value[skill])
            .u16(base(skill))
            .u8(m_lock[skill])
            .u16(1000)
            .bytes();
    }

    std::array<uint16_t, kStageSkillCount> m_value {};
    std::array<uint8_t, kStageSkillCount> m_lock {};
};

} // namespace

std::unique_ptr<StagePart> makeStageSkills() { return std::make_unique<StageSkills>(); }

} // namespace test
