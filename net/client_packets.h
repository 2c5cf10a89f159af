#pragma once
// Builders of the client's packets. Each writes one packet into a caller-owned
// PacketBuffer and returns false when it did not fit (the buffer is then
// failed and sendPacket refuses it). Builders never send.
//
// Fixed text fields are NUL-padded to their width and cut at it. Text given as
// UTF-16 is sent as UTF-8 where a packet says so, cut at a character boundary
// when it would overflow its field.

#include "net/packet_table.h"

#include <cstdint>
#include <span>
#include <string_view>

struct NewCharacterRecord;

constexpr size_t kClientInfoSize = 30;
constexpr size_t kMapBlockSize = 196;
constexpr size_t kIgrIdSize = 16;

struct BuyRow {
    uint8_t layer;
    uint32_t serial;
    uint16_t amount;
};

struct SellRow {
    uint32_t serial;
    uint16_t amount;
};

// One typed argument of the encoded command packet.
struct EncodedArgument {
    enum class Type : int32_t { Number = 0, Text = 2, Point = 3 };
    Type type;
    uint32_t number { 0 };
    std::u16string_view text {};
    uint16_t x { 0 };
    uint16_t y { 0 };
    uint8_t z { 0 };
};

bool buildCreateCharacterPacket(PacketBuffer& buffer, const NewCharacterRecord& record,
    const uint8_t clientInfo[kClientInfoSize], uint32_t localAddress);
bool buildDisconnectPacket(PacketBuffer& buffer);
bool buildMoveRequestPacket(PacketBuffer& buffer, uint8_t direction, uint8_t sequence, uint32_t stepKey);
bool buildAttackRequestPacket(PacketBuffer& buffer, uint32_t serial);
// A use request for the player's own serial with this bit set asks for the
// own paperdoll rather than for the mount under the player.
constexpr uint32_t kOwnPaperdollBit = 0x80000000;
bool buildUseObjectPacket(PacketBuffer& buffer, uint32_t serial);
bool buildPickUpItemPacket(PacketBuffer& buffer, uint32_t serial, uint16_t amount);
bool buildDropItemPacket(PacketBuffer& buffer, uint32_t item, uint16_t x, uint16_t y, uint8_t z, uint32_t container);
bool buildSingleClickPacket(PacketBuffer& buffer, uint32_t serial);
bool buildTextCommandPacket(PacketBuffer& buffer, uint8_t commandType, std::string_view text);
bool buildEquipItemPacket(PacketBuffer& buffer, uint32_t item, uint8_t layer, uint32_t mobile);
bool buildMoveResyncPacket(PacketBuffer& buffer);
bool buildResurrectionChoicePacket(PacketBuffer& buffer, uint8_t choice);
// The kinds of a status request: a status bar's values, or the skills.
constexpr uint8_t kStatusBarRequest = 4;
constexpr uint8_t kSkillsRequest = 5;
bool buildStatusRequestPacket(PacketBuffer& buffer, uint8_t requestType, uint32_t serial);
// 0x3A a skill's lock state: the 0-based skill number and the state.
bool buildSkillLockPacket(PacketBuffer& buffer, uint16_t skill, uint8_t lockState);
bool buildBuyItemsPacket(PacketBuffer& buffer, uint32_t vendor, uint8_t flag, std::span<const BuyRow> rows);
// `x` and `y` are the pin's position in window pixels, frame margins included.
bool buildMapPinPacket(
    PacketBuffer& buffer, uint32_t mapSerial, uint8_t action, uint8_t pinNumber, int32_t x, int32_t y);
bool buildPlayCharacterPacket(PacketBuffer& buffer, const char* name, const uint8_t clientInfo[kClientInfoSize],
    uint32_t slot, uint32_t localAddress);
bool buildBookPageRequestPacket(PacketBuffer& buffer, uint32_t book, uint16_t page);
bool buildBookPagePacket(
    PacketBuffer& buffer, uint32_t book, uint16_t page, std::span<const std::u16string_view> lines);
bool buildTargetResponsePacket(PacketBuffer& buffer, uint8_t targetType, uint32_t cursorId, uint8_t cursorFlag,
    uint32_t serial, uint16_t x, uint16_t y, uint16_t z, uint16_t graphic);
bool buildSecureTradePacket(PacketBuffer& buffer, uint8_t action, uint32_t first, uint32_t second, uint32_t third);
bool buildBulletinBoardRequestPacket(PacketBuffer& buffer, uint8_t action, uint32_t board, uint32_t messageId);
// Fails when there are more than 255 lines.
bool buildBulletinBoardPostPacket(PacketBuffer& buffer, uint8_t action, uint32_t board, uint32_t replyTo,
    std::u16string_view subject, std::span<const std::u16string_view> lines);
bool buildWarModePacket(PacketBuffer& buffer, uint8_t warFlag, uint8_t second, uint8_t third, uint8_t fourth);
bool buildKeepAlivePacket(PacketBuffer& buffer, uint8_t value = 0);
bool buildRenamePacket(PacketBuffer& buffer, uint32_t serial, const char* name);
bool buildMenuChoicePacket(
    PacketBuffer& buffer, uint32_t serial, uint16_t menuId, uint16_t index, uint16_t graphic, uint16_t hue);
bool buildAccountLoginPacket(PacketBuffer& buffer, const char* account, const char* password, uint8_t nextLoginKey);
bool buildDeleteCharacterPacket(PacketBuffer& buffer, const char* password, uint32_t slot, uint32_t localAddress);
// Carries connectionSeed().
bool buildGameLoginPacket(PacketBuffer& buffer, const char* account, const char* password);
// `title` is a 60-byte field, `author` a 30-byte one.
bool buildBookHeaderPacket(PacketBuffer& buffer, uint32_t book, const char* title, const char* author);
bool buildDyeResponsePacket(PacketBuffer& buffer, uint32_t serial, uint16_t model, uint16_t hue);
bool buildNameRequestPacket(PacketBuffer& buffer, uint32_t serial);
bool buildPromptReplyPacket(
    PacketBuffer& buffer, uint32_t serial, uint32_t promptId, uint32_t type, std::string_view text);
// `text` fills a 256-byte field, NUL-padded and cut at the field like every fixed text field.
bool buildHelpRequestPacket(PacketBuffer& buffer, uint8_t type, const char* text);
bool buildSellItemsPacket(PacketBuffer& buffer, uint32_t vendor, std::span<const SellRow> rows);
bool buildServerSelectPacket(PacketBuffer& buffer, uint16_t shardId);
bool buildTipRequestPacket(PacketBuffer& buffer, uint16_t tipNumber, uint8_t direction);
bool buildTextEntryReplyPacket(
    PacketBuffer& buffer, uint32_t serial, uint16_t entryId, uint8_t button, std::string_view text);
bool buildObjectHelpRequestPacket(PacketBuffer& buffer, uint32_t serial, uint8_t flag, const char* language);
bool buildUnicodePromptReplyPacket(PacketBuffer& buffer, uint32_t serial, uint32_t promptId, uint32_t type,
    const char* language, std::u16string_view text);
bool buildMapBlockPacket(
    PacketBuffer& buffer, uint32_t blockNumber, uint16_t value, const uint8_t block[kMapBlockSize]);
bool buildIgrAccountLoginPacket(PacketBuffer& buffer, const char* account, const char* password, uint8_t nextLoginKey,
    const uint8_t igrId[kIgrIdSize]);
bool buildBookHeaderTextPacket(PacketBuffer& buffer, uint32_t book, std::string_view title, std::string_view author);
bool buildEncodedCommandPacket(
    PacketBuffer& buffer, uint32_t serial, uint16_t subCommand, std::span<const EncodedArgument> arguments);
// The update range the client asks for, in cells.
bool buildUpdateRangePacket(PacketBuffer& buffer, uint8_t range);
// One server-stored settings file: its number and its zlib-compressed bytes.
bool buildConfigFilePacket(PacketBuffer& buffer, uint8_t fileNumber, std::span<const uint8_t> payload);
bool buildLogoutOkPacket(PacketBuffer& buffer);
// A property list request: 0xBF sub-command 0x10 with the object's serial.
bool buildPropertyListRequestPacket(PacketBuffer& buffer, uint32_t serial);
// The race change window's answer: 0xBF sub-command 0x2A with skin hue,
// hair style, hair hue, facial hair style and facial hair hue (hues 1-based).
bool buildRaceChangeReplyPacket(PacketBuffer& buffer, uint16_t skinHue, uint16_t hairStyle, uint16_t hairHue,
    uint16_t facialHairStyle, uint16_t facialHairHue);
// A context menu request: 0xBF sub-command 0x13 with the object's serial.
bool buildContextMenuRequestPacket(PacketBuffer& buffer, uint32_t serial);
// The entry chosen from a context menu: 0xBF sub-command 0x15 with the
// object's serial and the entry's tag.
bool buildContextMenuChoicePacket(PacketBuffer& buffer, uint32_t serial, uint16_t tag);
// A character profile request: 0xB8 {0, serial}.
bool buildProfileRequestPacket(PacketBuffer& buffer, uint32_t serial);
// Property lists of many objects in one packet: 0xD6 and their serials.
bool buildPropertyListBatchPacket(PacketBuffer& buffer, std::span<const uint32_t> serials);
