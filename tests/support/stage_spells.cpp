// The spellbook's share of the stage: a mage book in the player's backpack
// holding the first twelve spells, opened in the older container form when
// it is used; a cast (the text command or the newer request) is answered
// with a target cursor, and the target with a bolt from the player and a
// system line naming the spell and what it struck. The player holds a sword
// with two weapon abilities, which the ability book and its icons show and
// switch on (0xD7 sub-command 0x19 goes to the server unanswered).
#include "support/stage_spells.h"

#include "fixtures/sample_scene.h"
#include "fixtures/sample_spell_art.h"
#include "fixtures/server_packet.h"
#include "support/stage_world.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace test {

namespace {

using fixture::ServerPacket;

constexpr uint16_t kSpellbookGumpId = 0xFFFF;
constexpr uint16_t kReagentGraphic = 0x1F2D;
constexpr uint16_t kBoltGraphic = 0x36D4;
constexpr uint16_t kSpellSystemHue = 0x3B2;
constexpr uint8_t kCastWithoutBook = 0x56;
constexpr uint8_t kCastFromBook = 0x27;
constexpr uint16_t kCastRequest = 0x1C;
constexpr uint8_t kSwordLayer = 1;

uint32_t spellsBe32(const WirePacket& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

uint16_t spellsBe16(const WirePacket& packet, size_t at) { return uint16_t(packet[at] << 8 | packet[at + 1]); }

class StageSpells final : public StagePart {
public:
    void populate(StageWorld& stage) override
    {
        stage.addContainedThing(
            kStageSpellbookSerial, fixture::kSampleMageBookGraphic, 1, fixture::kSceneBackpackSerial, 60, 100);
        stage.addWornThing(kStageSwordSerial, fixture::kSampleSwordGraphic, kSwordLayer, stage.playerSerial());
        m_pendingSpell = 0;
    }

    bool answer(StageWorld&, const WirePacket& packet, std::vector<WirePacket>& out) override
    {
        switch (packet[0]) {
        case 0x06:
            if (packet.size() < 5 || (spellsBe32(packet, 1) & 0x7FFFFFFF) != kStageSpellbookSerial)
                return false;
            openBook(out);
            return true;
        case 0x12:
            if (packet.size() < 5 || (packet[3] != kCastWithoutBook && packet[3] != kCastFromBook))
                return false;
            return cast(std::atoi(std::string(packet.begin() + 4, packet.end()).c_str()), out);
        case 0xBF:
            if (packet.size() < 9 || spellsBe16(packet, 3) != kCastRequest)
                return false;
            return cast(spellsBe16(packet, packet.size() - 2), out);
        case 0x6C:
            return packet.size() >= 19 && spellsBe32(packet, 2) == kStageSpellCursor && target(packet, out);
        default:
            return false;
        }
    }

private:
    static void openBook(std::vector<WirePacket>& out)
    {
        out.push_back(openContainerPacket(kStageSpellbookSerial, kSpellbookGumpId));
        std::vector<ContentEntry> spells;
        for (uint16_t spell = 1; spell <= kStageSpellCount; ++spell)
            spells.push_back({ kStageFirstSpellSerial + spell, kReagentGraphic, spell, 0, 0 });
        out.push_back(containerContentsPacket(kStageSpellbookSerial, spells));
    }

    bool cast(int32_t spell, std::vector<WirePacket>& out)
    {
        if (spell < 1 || spell > kStageSpellCount)
            return false;
        m_pendingSpell = spell;
        out.push_back(
            ServerPacket(0x6C, ServerPacket::Length::Fixed).u8(1).u32(kStageSpellCursor).u8(0).fill(12, 0).bytes());
        return true;
    }

    bool target(const WirePacket& packet, std::vector<WirePacket>& out)
    {
        const uint32_t serial = spellsBe32(packet, 7);
        const uint16_t x = spellsBe16(packet, 11);
        const uint16_t y = spellsBe16(packet, 13);
        const int32_t spell = m_pendingSpell;
        m_pendingSpell = 0;
        if (serial == 0 && x == 0xFFFF) {
            out.push_back(systemLine("The spell fizzles."));
            return true;
        }
        out.push_back(graphicalEffectPacket(
            0, fixture::kScenePlayerSerial, serial, kBoltGraphic, x, y, int8_t(packet[16])));
        char line[64];
        if (serial != 0)
            std::snprintf(line, sizeof line, "Spell %d strikes 0x%08X.", int(spell), unsigned(serial));
        else
            std::snprintf(line, sizeof line, "Spell %d strikes the ground at %u, %u.", int(spell), unsigned(x), unsigned(y));
        out.push_back(systemLine(line));
        return true;
    }

    static WirePacket systemLine(const std::string& text)
    {
        return asciiSpeechPacket(0xFFFFFFFF, 0xFFFF, 0, kSpellSystemHue, 3, "System", text);
    }

    int32_t m_pendingSpell = 0;
};

} // namespace

std::unique_ptr<StagePart> makeStageSpells() { return std::make_unique<StageSpells>(); }

} // namespace test
