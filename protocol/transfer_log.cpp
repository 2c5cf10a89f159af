#include "protocol/session_packets.h"

#include "core/wide_text.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "protocol/login_state.h"
#include "protocol/protocol_text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

// The item section of the transfer log is written by the server in its own
// (little-endian) byte order, unlike the packet's header.
class LittleEndianReader {
public:
    LittleEndianReader(const uint8_t* packet, int32_t offset, int32_t end)
        : m_packet(packet)
        , m_offset(offset)
        , m_end(end)
    {
    }

    bool readLong(uint32_t& value)
    {
        const uint8_t* bytes = take(4);
        value = bytes
            ? uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24
            : 0;
        return bytes != nullptr;
    }
    bool readShort(uint16_t& value)
    {
        const uint8_t* bytes = take(2);
        value = bytes ? uint16_t(bytes[0] | bytes[1] << 8) : 0;
        return bytes != nullptr;
    }
    const uint8_t* take(int32_t count)
    {
        const uint8_t* bytes = nullptr;
        if (count < 0 || m_end - m_offset < count || !packetGetBytes(m_packet, m_offset, bytes, count))
            return nullptr;
        return bytes;
    }
    int32_t offset() const { return m_offset; }

private:
    const uint8_t* m_packet;
    int32_t m_offset;
    int32_t m_end;
};

constexpr int32_t kLogHeaderBytes = 16;
constexpr size_t kLogMaxArgumentUnits = 511;

std::string ruleLine() { return std::string(80, '-') + "\n"; }

std::string utf8Of(const std::u16string& text) { return wideToUtf8String(text.c_str()); }

enum class Entry { Written, BlockEnd, Failed };

// One entry of an item block.
Entry writeLogEntry(LittleEndianReader& reader, uint32_t blockLength, uint32_t& used, std::string& out)
{
    uint32_t number = 0;
    if (!reader.readLong(number))
        return Entry::Failed;
    if (number == 0) {
        // With 4 bytes or fewer left in the block a zero entry is the
        // block's end marker; otherwise a 2-byte tail follows.
        if (blockLength - used <= 4)
            return Entry::BlockEnd;
        uint16_t unused = 0;
        if (!reader.readShort(unused))
            return Entry::Failed;
        out += "Transfer Crate\n";
        used += 6;
        return Entry::Written;
    }
    uint16_t argumentBytes = 0;
    if (!reader.readShort(argumentBytes))
        return Entry::Failed;
    const uint8_t* bytes = reader.take(argumentBytes);
    if (!bytes)
        return Entry::Failed;
    std::u16string arguments;
    for (size_t i = 0; i + 1 < argumentBytes && arguments.size() < kLogMaxArgumentUnits; i += 2)
        arguments.push_back(char16_t(bytes[i] | bytes[i + 1] << 8));
    while (!arguments.empty() && arguments.back() == 0)
        arguments.pop_back();
    out += utf8Of(clilocTextWithArguments(int32_t(number), arguments)) + "\n";
    used += uint32_t(argumentBytes) + 6;
    return Entry::Written;
}

} // namespace

void handleTransferLog(const uint8_t* packet)
{
    int32_t payloadLength = int32_t(packetLength(packet)) - 3;
    int32_t at = 0;
    uint32_t kind = 0;
    uint32_t total = 0;
    if (!packetGetLong(packet, at, kind) || kind != kTransferLogKind || !packetGetLong(packet, at, total))
        return;
    LittleEndianReader reader(packet, at, payloadLength);
    uint32_t transferId = 0;
    uint32_t unused = 0;
    if (!reader.readLong(transferId) || !reader.readLong(unused) || !reader.readLong(unused))
        return;

    std::string text = ruleLine();
    std::time_t now = std::time_t(platform::clock().unixSeconds());
    std::tm local {};
    char date[32] = "\n";
    if (localtime_r(&now, &local))
        std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y\n", &local);
    const LoginSession& session = loginSession();
    text += std::string("Date: ") + date;
    text += "Account: " + session.accountName + "\n";
    text += "Server: " + session.shardName + "\n";
    text += "Character: " + session.playerName + "\n";
    text += "Transfer ID: " + std::to_string(transferId) + "\n";
    text += ruleLine() + "\n";

    // The stated lengths never reach past the packet: a wild total or block
    // length ends the log at the packet's end.
    uint32_t limit = std::min<uint32_t>(total, uint32_t(payloadLength));
    uint32_t consumed = kLogHeaderBytes;
    while (consumed < limit) {
        uint32_t item = 0;
        uint32_t blockLength = 0;
        if (!reader.readLong(item) || !reader.readLong(blockLength))
            break;
        text += "Item " + std::to_string(item) + " - ";
        blockLength = std::min<uint32_t>(blockLength, uint32_t(payloadLength - reader.offset()));
        uint32_t used = 0;
        Entry entry = Entry::Written;
        while (used < blockLength && entry == Entry::Written)
            entry = writeLogEntry(reader, blockLength, used, text);
        text += "\n";
        consumed += 8 + used;
        // A cut-short packet ends the log with what it held.
        if (entry == Entry::Failed)
            break;
    }
    text += "\n";

    FILE* file = std::fopen(kTransferLogFile, "a");
    if (!file)
        return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}
