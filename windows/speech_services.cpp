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
