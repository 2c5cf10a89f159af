// Runs one client packet builder with field values and text lengths from the
// input, into a buffer of a capacity from the input that lies in a heap block
// of exactly that size, so that a write past the capacity is caught. A build
// that succeeds must frame as the table says; a refused one must never be
// queued, and must leave the send queue as it was.
//
// Input: a builder number, a capacity (16 bits), then the builder's fields,
// taken in argument order (clang evaluates arguments left to right).

#include "fuzz_byte_reader.h"
#include "net/buffered_connection.h"
#include "net/client_packets.h"
#include "net/new_character_record.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using fuzz::require;

// A NUL-terminated copy of up to `limit` input bytes (the copy may hold NULs
// of its own, which end the text early).
std::string cText(FuzzByteReader& input, size_t limit) { return std::string(input.bytes(limit)); }

std::vector<std::u16string> textLines(FuzzByteReader& input, size_t maxLines, size_t maxUnits)
{
    std::vector<std::u16string> lines(input.u16() % (maxLines + 1));
    for (std::u16string& line : lines) {
        if (input.empty())
            break;
        line = input.units(maxUnits);
    }
    return lines;
}

std::vector<std::u16string_view> views(const std::vector<std::u16string>& lines)
{
    return std::vector<std::u16string_view>(lines.begin(), lines.end());
}

bool build(PacketBuffer& b, uint8_t which, FuzzByteReader& in)
{
    uint8_t block[kMapBlockSize > kIgrIdSize ? kMapBlockSize : kIgrIdSize] {};
    uint8_t info[kClientInfoSize] {};
    switch (which % 44) {
    case 0: {
        NewCharacterRecord record;
        std::string name = cText(in, 40);
        std::memcpy(record.name, name.data(), std::min(name.size(), sizeof record.name));
        record.race = in.u8();
        record.female = in.u8();
        record.skinHue = in.u16();
        record.characterSlot = in.u32();
        return buildCreateCharacterPacket(b, record, info, in.u32());
    }
    case 1:
        return buildDisconnectPacket(b);
    case 2:
        return buildMoveRequestPacket(b, in.u8(), in.u8(), in.u32());
    case 3:
        return buildAttackRequestPacket(b, in.u32());
    case 4:
        return buildUseObjectPacket(b, in.u32());
    case 5:
        return buildPickUpItemPacket(b, in.u32(), in.u16());
    case 6:
        return buildDropItemPacket(b, in.u32(), in.u16(), in.u16(), in.u8(), in.u32());
    case 7:
        return buildSingleClickPacket(b, in.u32());
    case 8:
        return buildTextCommandPacket(b, in.u8(), in.bytes(70000));
    case 9:
        return buildEquipItemPacket(b, in.u32(), in.u8(), in.u32());
    case 10:
        return buildMoveResyncPacket(b);
    case 11:
        return buildResurrectionChoicePacket(b, in.u8());
    case 12:
        return buildStatusRequestPacket(b, in.u8(), in.u32());
    case 13: {
        std::vector<BuyRow> rows(in.u16() % 12000);
        for (BuyRow& row : rows)
            row = { in.u8(), in.u32(), in.u16() };
        return buildBuyItemsPacket(b, in.u32(), in.u8(), rows);
    }
    case 14:
        return buildMapPinPacket(b, in.u32(), in.u8(), in.u8(), int32_t(in.u32()), int32_t(in.u32()));
    case 15: {
        std::string name = cText(in, 40);
        return buildPlayCharacterPacket(b, name.c_str(), info, in.u32(), in.u32());
    }
    case 16:
        return buildBookPageRequestPacket(b, in.u32(), in.u16());
    case 17: {
        std::vector<std::u16string> lines = textLines(in, 400, 300);
        std::vector<std::u16string_view> lineViews = views(lines);
        return buildBookPagePacket(b, in.u32(), in.u16(), lineViews);
    }
    case 18:
        return buildTargetResponsePacket(b, in.u8(), in.u32(), in.u8(), in.u32(), in.u16(), in.u16(), in.u16(), in.u16());
    case 19:
        return buildSecureTradePacket(b, in.u8(), in.u32(), in.u32(), in.u32());
    case 20:
        return buildBulletinBoardRequestPacket(b, in.u8(), in.u32(), in.u32());
    case 21: {
        std::u16string subject = in.units(300);
        std::vector<std::u16string> lines = textLines(in, 300, 300);
        std::vector<std::u16string_view> lineViews = views(lines);
        return buildBulletinBoardPostPacket(b, in.u8(), in.u32(), in.u32(), subject, lineViews);
    }
    case 22:
        return buildWarModePacket(b, in.u8(), in.u8(), in.u8(), in.u8());
    case 23:
        return buildKeepAlivePacket(b, in.u8());
    case 24: {
        std::string name = cText(in, 40);
        return buildRenamePacket(b, in.u32(), name.c_str());
    }
    case 25:
        return buildMenuChoicePacket(b, in.u32(), in.u16(), in.u16(), in.u16(), in.u16());
    case 26: {
        std::string account = cText(in, 40);
        std::string password = cText(in, 40);
        return buildAccountLoginPacket(b, account.c_str(), password.c_str(), in.u8());
    }
    case 27: {
        std::string password = cText(in, 40);
        return buildDeleteCharacterPacket(b, password.c_str(), in.u32(), in.u32());
    }
    case 28: {
        std::string account = cText(in, 40);
        std::string password = cText(in, 40);
        return buildGameLoginPacket(b, account.c_str(), password.c_str());
    }
    case 29: {
        std::string title = cText(in, 80);
        std::string author = cText(in, 40);
        return buildBookHeaderPacket(b, in.u32(), title.c_str(), author.c_str());
    }
    case 30:
        return buildDyeResponsePacket(b, in.u32(), in.u16(), in.u16());
    case 31:
        return buildNameRequestPacket(b, in.u32());
    case 32:
        return buildPromptReplyPacket(b, in.u32(), in.u32(), in.u32(), in.bytes(70000));
    case 33: {
        std::string text = cText(in, 300);
        return buildHelpRequestPacket(b, in.u8(), text.c_str());
    }
    case 34: {
        std::vector<SellRow> rows(in.u16() % 12000);
        for (SellRow& row : rows)
            row = { in.u32(), in.u16() };
        return buildSellItemsPacket(b, in.u32(), rows);
    }
    case 35:
        return buildServerSelectPacket(b, in.u16());
    case 36:
        return buildTipRequestPacket(b, in.u16(), in.u8());
    case 37:
        return buildTextEntryReplyPacket(b, in.u32(), in.u16(), in.u8(), in.bytes(70000));
    case 38: {
        std::string language = cText(in, 6);
        return buildObjectHelpRequestPacket(b, in.u32(), in.u8(), language.c_str());
    }
    case 39: {
        std::string language = cText(in, 6);
        std::u16string text = in.units(40000);
        return buildUnicodePromptReplyPacket(b, in.u32(), in.u32(), in.u32(), language.c_str(), text);
    }
    case 40:
        return buildMapBlockPacket(b, in.u32(), in.u16(), block);
    case 41: {
        std::string account = cText(in, 40);
        std::string password = cText(in, 40);
        return buildIgrAccountLoginPacket(b, account.c_str(), password.c_str(), in.u8(), block);
    }
    case 42: {
        std::string_view title = in.bytes(70000);
        std::string_view author = in.bytes(70000);
        return buildBookHeaderTextPacket(b, in.u32(), title, author);
    }
    default: {
        std::vector<std::u16string> texts;
        std::vector<EncodedArgument> arguments(in.u8());
        texts.reserve(arguments.size());
        for (EncodedArgument& argument : arguments) {
            argument.type = EncodedArgument::Type(int32_t(in.u8() % 5));
            argument.number = in.u32();
            texts.push_back(in.units(35000));
            argument.text = texts.back();
            argument.x = in.u16();
            argument.y = in.u16();
            argument.z = in.u8();
        }
        return buildEncodedCommandPacket(b, in.u32(), in.u16(), arguments);
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static BufferedConnection* connection = new BufferedConnection;
    FuzzByteReader input(data, size);
    uint8_t which = input.u8();
    size_t capacity = input.u16();
    std::vector<uint8_t> storage(capacity);
    PacketBuffer buffer(storage.data(), storage.size());

    bool built = build(buffer, which, input);
    require(built == !buffer.failed());
    if (built) {
        uint32_t length = buffer.length();
        require(length >= 1 && length <= capacity && length <= kMaxPacketLength);
        require(packetLength(buffer.data()) == length);
        if (!packetIsVariable(buffer.id()))
            require(buffer.position() == length);
    } else {
        require(buffer.length() == 0);
    }

    // The queue is emptied now and then; a packet that does not fit is dropped.
    if (connection->sendFill() > BufferedConnection::kSendBufferSize - 4096)
        connection->resetState();
    uint32_t fill = connection->sendFill();
    bool room = fill + buffer.length() <= BufferedConnection::kSendBufferSize;
    bool queued = connection->queuePacket(buffer);
    require(queued == (built && room));
    require(connection->sendFill() == fill + (queued ? buffer.length() : 0));
    return 0;
}
