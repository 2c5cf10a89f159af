#include "net/client_packets.h"

#include "core/wide_text.h"
#include "net/buffered_connection.h"
#include "net/new_character_record.h"

#include <string>

namespace {

constexpr uint32_t kNoSerialMark = 0xEDEDEDEDu;
constexpr size_t kTextFieldSize = 30;
constexpr size_t kBookTitleSize = 60;
constexpr size_t kHelpTextSize = 256;
constexpr size_t kBookLineMaxBytes = 239;
constexpr size_t kBoardFieldMaxBytes = 254; // the byte count, NUL included, is one byte
constexpr size_t kMaxBoardLines = 255;
constexpr uint16_t kMapMarginX = 24;
constexpr uint16_t kMapMarginY = 31;

bool putText(PacketBuffer& buffer, std::string_view text)
{
    return packetPutBytes(buffer, text.data(), text.size()) && packetPutByte(buffer, 0);
}

// The UTF-8 of `text`, cut before the first character that would pass
// `maxBytes`; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text, size_t maxBytes)
{
    std::string bytes = wideToUtf8String(std::u16string(text).c_str());
    if (bytes.size() > maxBytes) {
        size_t end = maxBytes;
        // Back up to the lead byte of the character the limit splits.
        while (end > 0 && (uint8_t(bytes[end]) & 0xC0) == 0x80)
            --end;
        bytes.resize(end);
    }
    return bytes;
}

// A board field: byte count (NUL included), UTF-8 text, NUL.
bool putBoardField(PacketBuffer& buffer, std::u16string_view text)
{
    std::string bytes = toUtf8(text, kBoardFieldMaxBytes);
    return packetPutByte(buffer, uint8_t(bytes.size() + 1)) && putText(buffer, bytes);
}

bool finish(const PacketBuffer& buffer) { return !buffer.failed(); }

bool buildSerialOnly(PacketBuffer& buffer, uint8_t id, uint32_t serial)
{
    packetBegin(buffer, id);
    packetPutLong(buffer, serial);
    return finish(buffer);
}

} // namespace

bool buildCreateCharacterPacket(PacketBuffer& buffer, const NewCharacterRecord& record,
    const uint8_t clientInfo[kClientInfoSize], uint32_t localAddress)
{
    packetBegin(buffer, 0x00);
    packetPutLong(buffer, kNoSerialMark);
    packetPutShort(buffer, 0xFFFF);
    packetPutShort(buffer, 0xFFFF);
    packetPutByte(buffer, 0);
    packetPutFixedText(buffer, record.name, kTextFieldSize);
    packetPutBytes(buffer, clientInfo, kClientInfoSize);
    packetPutByte(buffer, uint8_t(record.race << 1 | record.female));
    packetPutByte(buffer, record.strength);
    packetPutByte(buffer, record.dexterity);
    packetPutByte(buffer, record.intelligence);
    for (const NewCharacterSkill& skill : record.skills) {
        packetPutByte(buffer, skill.number);
        packetPutByte(buffer, skill.value);
    }
    packetPutShort(buffer, record.skinHue);
    packetPutShort(buffer, record.hairStyle);
    packetPutShort(buffer, record.hairHue);
    packetPutShort(buffer, record.facialHairStyle);
    packetPutShort(buffer, record.facialHairHue);
    packetPutByte(buffer, record.shardIndex);
    packetPutByte(buffer, record.startLocation);
    packetPutLong(buffer, record.characterSlot);
    packetPutLong(buffer, localAddress);
    packetPutShort(buffer, record.shirtHue);
    packetPutShort(buffer, record.trousersHue);
    return finish(buffer);
}

bool buildDisconnectPacket(PacketBuffer& buffer) { return buildSerialOnly(buffer, 0x01, 0xFFFFFFFFu); }

bool buildMoveRequestPacket(PacketBuffer& buffer, uint8_t direction, uint8_t sequence, uint32_t stepKey)
{
    packetBegin(buffer, 0x02);
    packetPutByte(buffer, direction);
    packetPutByte(buffer, sequence);
    packetPutLong(buffer, stepKey);
    return finish(buffer);
}

bool buildAttackRequestPacket(PacketBuffer& buffer, uint32_t serial) { return buildSerialOnly(buffer, 0x05, serial); }

bool buildUseObjectPacket(PacketBuffer& buffer, uint32_t serial) { return buildSerialOnly(buffer, 0x06, serial); }

bool buildPickUpItemPacket(PacketBuffer& buffer, uint32_t serial, uint16_t amount)
{
    packetBegin(buffer, 0x07);
    packetPutLong(buffer, serial);
    packetPutShort(buffer, amount);
    return finish(buffer);
}

bool buildDropItemPacket(PacketBuffer& buffer, uint32_t item, uint16_t x, uint16_t y, uint8_t z, uint32_t container)
{
    packetBegin(buffer, 0x08);
    packetPutLong(buffer, item);
    packetPutShort(buffer, x);
    packetPutShort(buffer, y);
    packetPutByte(buffer, z);
    packetPutLong(buffer, container);
    return finish(buffer);
}

bool buildSingleClickPacket(PacketBuffer& buffer, uint32_t serial) { return buildSerialOnly(buffer, 0x09, serial); }

bool buildTextCommandPacket(PacketBuffer& buffer, uint8_t commandType, std::string_view text)
{
    packetBegin(buffer, 0x12);
    packetPutByte(buffer, commandType);
    putText(buffer, text);
    return finish(buffer);
}

bool buildEquipItemPacket(PacketBuffer& buffer, uint32_t item, uint8_t layer, uint32_t mobile)
{
    packetBegin(buffer, 0x13);
    packetPutLong(buffer, item);
    packetPutByte(buffer, layer);
    packetPutLong(buffer, mobile);
    return finish(buffer);
}

bool buildMoveResyncPacket(PacketBuffer& buffer)
{
    packetBegin(buffer, 0x22);
    packetPutByte(buffer, 0);
    packetPutByte(buffer, 0);
    return finish(buffer);
}

bool buildResurrectionChoicePacket(PacketBuffer& buffer, uint8_t choice)
{
    packetBegin(buffer, 0x2C);
    packetPutByte(buffer, choice);
    return finish(buffer);
}

bool buildStatusRequestPacket(PacketBuffer& buffer, uint8_t requestType, uint32_t serial)
{
    packetBegin(buffer, 0x34);
    packetPutLong(buffer, kNoSerialMark);
    packetPutByte(buffer, requestType);
    packetPutLong(buffer, serial);
    return finish(buffer);
}

bool buildSkillLockPacket(PacketBuffer& buffer, uint16_t skill, uint8_t lockState)
{
    packetBegin(buffer, 0x3A);
    packetPutShort(buffer, skill);
    packetPutByte(buffer, lockState);
    return finish(buffer);
}

bool buildBuyItemsPacket(PacketBuffer& buffer, uint32_t vendor, uint8_t flag, std::span<const BuyRow> rows)
{
    packetBegin(buffer, 0x3B);
    packetPutLong(buffer, vendor);
    packetPutByte(buffer, flag);
    for (const BuyRow& row : rows) {
        packetPutByte(buffer, row.layer);
        packetPutLong(buffer, row.serial);
        packetPutShort(buffer, row.amount);
    }
    return finish(buffer);
}

bool buildMapPinPacket(
    PacketBuffer& buffer, uint32_t mapSerial, uint8_t action, uint8_t pinNumber, int32_t x, int32_t y)
{
    packetBegin(buffer, 0x56);
    packetPutLong(buffer, mapSerial);
    packetPutByte(buffer, action);
    packetPutByte(buffer, pinNumber);
    // The wire keeps the low 16 bits; unsigned arithmetic keeps any window position defined.
    packetPutShort(buffer, uint16_t(uint32_t(x) - kMapMarginX));
    packetPutShort(buffer, uint16_t(uint32_t(y) - kMapMarginY));
    return finish(buffer);
}

bool buildPlayCharacterPacket(PacketBuffer& buffer, const char* name, const uint8_t clientInfo[kClientInfoSize],
    uint32_t slot, uint32_t localAddress)
{
    packetBegin(buffer, 0x5D);
    packetPutLong(buffer, kNoSerialMark);
    packetPutFixedText(buffer, name, kTextFieldSize);
    packetPutBytes(buffer, clientInfo, kClientInfoSize);
    packetPutLong(buffer, slot);
    packetPutLong(buffer, localAddress);
    return finish(buffer);
}

bool buildBookPageRequestPacket(PacketBuffer& buffer, uint32_t book, uint16_t page)
{
    packetBegin(buffer, 0x66);
    packetPutLong(buffer, book);
    packetPutShort(buffer, 1);
    packetPutShort(buffer, page);
    packetPutShort(buffer, 0xFFFF);
    return finish(buffer);
}

bool buildBookPagePacket(PacketBuffer& buffer, uint32_t book, uint16_t page, std::span<const std::u16string_view> lines)
{
    packetBegin(buffer, 0x66);
    packetPutLong(buffer, book);
    packetPutShort(buffer, 1);
    packetPutShort(buffer, page);
    if (lines.size() > 0xFFFF) {
        packetFail(buffer);
        return false;
    }
    packetPutShort(buffer, uint16_t(lines.size()));
    for (std::u16string_view line : lines)
        putText(buffer, toUtf8(line, kBookLineMaxBytes));
    return finish(buffer);
}

bool buildTargetResponsePacket(PacketBuffer& buffer, uint8_t targetType, uint32_t cursorId, uint8_t cursorFlag,
    uint32_t serial, uint16_t x, uint16_t y, uint16_t z, uint16_t graphic)
{
    packetBegin(buffer, 0x6C);
    packetPutByte(buffer, targetType);
    packetPutLong(buffer, cursorId);
    packetPutByte(buffer, cursorFlag);
    packetPutLong(buffer, serial);
    packetPutShort(buffer, x);
    packetPutShort(buffer, y);
    packetPutShort(buffer, z);
    packetPutShort(buffer, graphic);
    return finish(buffer);
}

bool buildSecureTradePacket(PacketBuffer& buffer, uint8_t action, uint32_t first, uint32_t second, uint32_t third)
{
    packetBegin(buffer, 0x6F);
    packetPutByte(buffer, action);
    packetPutLong(buffer, first);
    packetPutLong(buffer, second);
    packetPutLong(buffer, third);
    packetPutByte(buffer, 0);
    return finish(buffer);
}

bool buildBulletinBoardRequestPacket(PacketBuffer& buffer, uint8_t action, uint32_t board, uint32_t messageId)
{
    packetBegin(buffer, 0x71);
    packetPutByte(buffer, action);
    packetPutLong(buffer, board);
    packetPutLong(buffer, messageId);
    return finish(buffer);
}

bool buildBulletinBoardPostPacket(PacketBuffer& buffer, uint8_t action, uint32_t board, uint32_t replyTo,
    std::u16string_view subject, std::span<const std::u16string_view> lines)
{
    packetBegin(buffer, 0x71);
    if (lines.size() > kMaxBoardLines) {
        packetFail(buffer);
        return false;
    }
    packetPutByte(buffer, action);
    packetPutLong(buffer, board);
    packetPutLong(buffer, replyTo);
    if (subject.empty())
        packetPutByte(buffer, 0);
    else
        putBoardField(buffer, subject);
    packetPutByte(buffer, uint8_t(lines.size()));
    for (std::u16string_view line : lines)
        putBoardField(buffer, line);
    return finish(buffer);
}

bool buildWarModePacket(PacketBuffer& buffer, uint8_t warFlag, uint8_t second, uint8_t third, uint8_t fourth)
{
    packetBegin(buffer, 0x72);
    packetPutByte(buffer, warFlag);
    packetPutByte(buffer, second);
    packetPutByte(buffer, third);
    packetPutByte(buffer, fourth);
    return finish(buffer);
}

bool buildKeepAlivePacket(PacketBuffer& buffer, uint8_t value)
{
    packetBegin(buffer, 0x73);
    packetPutByte(buffer, value);
    return finish(buffer);
}

bool buildRenamePacket(PacketBuffer& buffer, uint32_t serial, const char* name)
{
    packetBegin(buffer, 0x75);
    packetPutLong(buffer, serial);
    packetPutFixedText(buffer, name, kTextFieldSize);
    return finish(buffer);
}

bool buildMenuChoicePacket(
    PacketBuffer& buffer, uint32_t serial, uint16_t menuId, uint16_t index, uint16_t graphic, uint16_t hue)
{
    packetBegin(buffer, 0x7D);
    packetPutLong(buffer, serial);
    packetPutShort(buffer, menuId);
    packetPutShort(buffer, index);
    packetPutShort(buffer, graphic);
    packetPutShort(buffer, hue);
    return finish(buffer);
}

bool buildAccountLoginPacket(PacketBuffer& buffer, const char* account, const char* password, uint8_t nextLoginKey)
{
    packetBegin(buffer, 0x80);
    packetPutFixedText(buffer, account, kTextFieldSize);
    packetPutFixedText(buffer, password, kTextFieldSize);
    packetPutByte(buffer, nextLoginKey);
    return finish(buffer);
}

bool buildDeleteCharacterPacket(PacketBuffer& buffer, const char* password, uint32_t slot, uint32_t localAddress)
{
    packetBegin(buffer, 0x83);
    packetPutFixedText(buffer, password, kTextFieldSize);
    packetPutLong(buffer, slot);
    packetPutLong(buffer, localAddress);
    return finish(buffer);
}

bool buildGameLoginPacket(PacketBuffer& buffer, const char* account, const char* password)
{
    packetBegin(buffer, 0x91);
    packetPutLong(buffer, connectionSeed());
    packetPutFixedText(buffer, account, kTextFieldSize);
    packetPutFixedText(buffer, password, kTextFieldSize);
    return finish(buffer);
}

bool buildBookHeaderPacket(PacketBuffer& buffer, uint32_t book, const char* title, const char* author)
{
    packetBegin(buffer, 0x93);
    packetPutLong(buffer, book);
    packetPutByte(buffer, 0);
    packetPutByte(buffer, 0);
    packetPutShort(buffer, 0);
    packetPutFixedText(buffer, title, kBookTitleSize);
    packetPutFixedText(buffer, author, kTextFieldSize);
    return finish(buffer);
}

bool buildDyeResponsePacket(PacketBuffer& buffer, uint32_t serial, uint16_t model, uint16_t hue)
{
    packetBegin(buffer, 0x95);
    packetPutLong(buffer, serial);
    packetPutShort(buffer, model);
    packetPutShort(buffer, hue);
    return finish(buffer);
}

bool buildNameRequestPacket(PacketBuffer& buffer, uint32_t serial) { return buildSerialOnly(buffer, 0x98, serial); }

bool buildPromptReplyPacket(
    PacketBuffer& buffer, uint32_t serial, uint32_t promptId, uint32_t type, std::string_view text)
{
    packetBegin(buffer, 0x9A);
    packetPutLong(buffer, serial);
    packetPutLong(buffer, promptId);
    packetPutLong(buffer, type);
    putText(buffer, text);
    return finish(buffer);
}

bool buildHelpRequestPacket(PacketBuffer& buffer, uint8_t type, const char* text)
{
    packetBegin(buffer, 0x9B);
    packetPutByte(buffer, type);
    packetPutFixedText(buffer, text, kHelpTextSize);
    return finish(buffer);
}

bool buildSellItemsPacket(PacketBuffer& buffer, uint32_t vendor, std::span<const SellRow> rows)
{
    packetBegin(buffer, 0x9F);
    packetPutLong(buffer, vendor);
    if (rows.size() > 0xFFFF) {
        packetFail(buffer);
        return false;
    }
    packetPutShort(buffer, uint16_t(rows.size()));
    for (const SellRow& row : rows) {
        packetPutLong(buffer, row.serial);
        packetPutShort(buffer, row.amount);
    }
    return finish(buffer);
}

bool buildServerSelectPacket(PacketBuffer& buffer, uint16_t shardId)
{
    packetBegin(buffer, 0xA0);
    packetPutShort(buffer, shardId);
    return finish(buffer);
}

bool buildTipRequestPacket(PacketBuffer& buffer, uint16_t tipNumber, uint8_t direction)
{
    packetBegin(buffer, 0xA7);
    packetPutShort(buffer, tipNumber);
    packetPutByte(buffer, direction);
    return finish(buffer);
}

bool buildTextEntryReplyPacket(
    PacketBuffer& buffer, uint32_t serial, uint16_t entryId, uint8_t button, std::string_view text)
{
    packetBegin(buffer, 0xAC);
    packetPutLong(buffer, serial);
    packetPutShort(buffer, entryId);
    packetPutByte(buffer, button);
    // A text this long could never fit in the packet anyway.
    if (text.size() >= 0xFFFF) {
        packetFail(buffer);
        return false;
    }
    packetPutShort(buffer, uint16_t(text.size() + 1));
    putText(buffer, text);
    return finish(buffer);
}

bool buildObjectHelpRequestPacket(PacketBuffer& buffer, uint32_t serial, uint8_t flag, const char* language)
{
    packetBegin(buffer, 0xB6);
    packetPutLong(buffer, serial);
    packetPutByte(buffer, flag);
    packetPutFixedText(buffer, language, 3);
    return finish(buffer);
}

bool buildUnicodePromptReplyPacket(PacketBuffer& buffer, uint32_t serial, uint32_t promptId, uint32_t type,
    const char* language, std::u16string_view text)
{
    packetBegin(buffer, 0xC2);
    packetPutLong(buffer, serial);
    packetPutLong(buffer, promptId);
    packetPutLong(buffer, type);
    packetPutFixedText(buffer, language, 4);
    // Little-endian units, as the server of this packet expects them.
    packetPutWideString(buffer, text.data(), text.size());
    return finish(buffer);
}

bool buildMapBlockPacket(PacketBuffer& buffer, uint32_t blockNumber, uint16_t value, const uint8_t block[kMapBlockSize])
{
    packetBegin(buffer, 0xC5);
    packetPutLong(buffer, blockNumber);
    packetPutShort(buffer, value);
    packetPutBytes(buffer, block, kMapBlockSize);
    return finish(buffer);
}

bool buildIgrAccountLoginPacket(PacketBuffer& buffer, const char* account, const char* password, uint8_t nextLoginKey,
    const uint8_t igrId[kIgrIdSize])
{
    packetBegin(buffer, 0xCF);
    packetPutFixedText(buffer, account, kTextFieldSize);
    packetPutFixedText(buffer, password, kTextFieldSize);
    packetPutByte(buffer, nextLoginKey);
    packetPutBytes(buffer, igrId, kIgrIdSize);
    return finish(buffer);
}

bool buildBookHeaderTextPacket(PacketBuffer& buffer, uint32_t book, std::string_view title, std::string_view author)
{
    packetBegin(buffer, 0xD4);
    packetPutLong(buffer, book);
    packetPutByte(buffer, 0);
    packetPutByte(buffer, 0);
    packetPutShort(buffer, 0);
    if (title.size() >= 0xFFFF || author.size() >= 0xFFFF) {
        packetFail(buffer);
        return false;
    }
    packetPutShort(buffer, uint16_t(title.size() + 1));
    putText(buffer, title);
    packetPutShort(buffer, uint16_t(author.size() + 1));
    putText(buffer, author);
    return finish(buffer);
}

bool buildEncodedCommandPacket(
    PacketBuffer& buffer, uint32_t serial, uint16_t subCommand, std::span<const EncodedArgument> arguments)
{
    packetBegin(buffer, 0xD7);
    packetPutLong(buffer, serial);
    packetPutShort(buffer, subCommand);
    for (const EncodedArgument& argument : arguments) {
        switch (argument.type) {
        case EncodedArgument::Type::Number:
            packetPutByte(buffer, 0);
            packetPutLong(buffer, argument.number);
            break;
        case EncodedArgument::Type::Point:
            packetPutByte(buffer, 3);
            packetPutShort(buffer, argument.x);
            packetPutShort(buffer, argument.y);
            packetPutByte(buffer, argument.z);
            break;
        case EncodedArgument::Type::Text:
            packetPutByte(buffer, 2);
            if (argument.text.size() > 0xFFFF) {
                packetFail(buffer);
                return false;
            }
            packetPutShort(buffer, uint16_t(argument.text.size()));
            for (char16_t unit : argument.text)
                packetPutShort(buffer, unit);
            break;
        }
    }
    packetPutByte(buffer, 10);
    return finish(buffer);
}

bool buildUpdateRangePacket(PacketBuffer& buffer, uint8_t range)
{
    packetBegin(buffer, 0xC8);
    packetPutByte(buffer, range);
    return finish(buffer);
}

bool buildConfigFilePacket(PacketBuffer& buffer, uint8_t fileNumber, std::span<const uint8_t> payload)
{
    packetBegin(buffer, 0xD0);
    packetPutByte(buffer, fileNumber);
    packetPutBytes(buffer, payload.data(), payload.size());
    return finish(buffer);
}

bool buildLogoutOkPacket(PacketBuffer& buffer)
{
    packetBegin(buffer, 0xD1);
    packetPutByte(buffer, 1);
    return finish(buffer);
}

bool buildPropertyListRequestPacket(PacketBuffer& buffer, uint32_t serial)
{
    packetBegin(buffer, 0xBF);
    packetPutShort(buffer, 0x10);
    packetPutLong(buffer, serial);
    return finish(buffer);
}

bool buildRaceChangeReplyPacket(PacketBuffer& buffer, uint16_t skinHue, uint16_t hairStyle, uint16_t hairHue,
    uint16_t facialHairStyle, uint16_t facialHairHue)
{
    packetBegin(buffer, 0xBF);
    packetPutShort(buffer, 0x2A);
    for (uint16_t field : { skinHue, hairStyle, hairHue, facialHairStyle, facialHairHue })
        packetPutShort(buffer, field);
    return finish(buffer);
}

bool buildContextMenuRequestPacket(PacketBuffer& buffer, uint32_t serial)
{
    packetBegin(buffer, 0xBF);
    packetPutShort(buffer, 0x13);
    packetPutLong(buffer, serial);
    return finish(buffer);
}

bool buildContextMenuChoicePacket(PacketBuffer& buffer, uint32_t serial, uint16_t tag)
{
    packetBegin(buffer, 0xBF);
    packetPutShort(buffer, 0x15);
    packetPutLong(buffer, serial);
    packetPutShort(buffer, tag);
    return finish(buffer);
}

bool buildProfileRequestPacket(PacketBuffer& buffer, uint32_t serial)
{
    packetBegin(buffer, 0xB8);
    packetPutByte(buffer, 0);
    packetPutLong(buffer, serial);
    return finish(buffer);
}

bool buildPropertyListBatchPacket(PacketBuffer& buffer, std::span<const uint32_t> serials)
{
    packetBegin(buffer, 0xD6);
    for (uint32_t serial : serials)
        packetPutLong(buffer, serial);
    return finish(buffer);
}
