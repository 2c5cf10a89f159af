#include "windows/speech_services.h"

#include "net/game_connection.h"

#include <utility>

namespace {

SpeechPacketSender& installedSender()
{
    static SpeechPacketSender sender;
    return sender;
}

} // namespace

bool isPartyMember(uint32_t serial)
{
    if (serial == 0)
        return false;
    PartyState& party = service<PartyState>();
    for (int32_t slot = 0; slot < PartyState::kSlots; ++slot) {
        if (party.memberSerial(slot) == serial)
            return true;
    }
    return false;
}

SpeechPacketSender installSpeechPacketSender(SpeechPacketSender sender)
{
    return std::exchange(installedSender(), std::move(sender));
}

bool sendSpeechPacket(const PacketBuffer& packet)
{
    if (const SpeechPacketSender& sender = installedSender())
        return sender(packet);
    return sendPacket(packet);
}
