#include "protocol/text_query_reply.h"

#include "core/wide_text.h"
#include "gump/entry_core.h"
#include "net/client_packets.h"
#include "net/game_connection.h"

#include <string>
#include <vector>

bool sendTextQueryReply(uint32_t serial, uint16_t entryId, TextEntryCore* entry, TextQueryButton button)
{
    if (entry && entry->isNumberMode()) {
        const std::string number = std::to_string(entry->value());
        entry->setText(bytesToWideString(number));
    }
    // The entry's text as the 8-bit characters it holds.
    std::string text;
    if (entry) {
        for (char16_t unit : entry->text())
            text.push_back(char(unit & 0xFF));
    }
    std::vector<uint8_t> storage(text.size() + 16);
    PacketBuffer packet(storage.data(), storage.size());
    return buildTextEntryReplyPacket(packet, serial, entryId, uint8_t(button), text) && sendPacket(packet);
}
