#include "windows/party_words.h"

#include "data/targeting.h"
#include "net/client_packets.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"
#include "windows/journal.h"
#include "windows/speech_services.h"
#include "windows/system_text.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <algorithm>

namespace {

constexpr uint8_t kGeneralInfoId = 0xBF;
constexpr uint16_t kPartySubCommand = 6;
constexpr uint8_t kActionAdd = 1;
constexpr uint8_t kActionRemove = 2;
constexpr uint8_t kActionPrivate = 3;
constexpr uint8_t kActionPublic = 4;
constexpr uint8_t kActionLoot = 6;
constexpr uint8_t kActionAccept = 8;
constexpr uint8_t kActionDecline = 9;
constexpr size_t kMaxPrivateUnits = 116;
constexpr size_t kMaxPublicUnits = 118;
constexpr uint8_t kNextShardCommand = 218;
constexpr uint16_t kPartyNoticeHue = 0;
constexpr uint16_t kPartyNoticeFont = 3;
constexpr size_t kPartyPacketSize = 512;

void beginPartyPacket(PacketBuffer& buffer, uint8_t action)
{
    packetBegin(buffer, kGeneralInfoId);
    packetPutShort(buffer, kPartySubCommand);
    packetPutByte(buffer, action);
}

bool putTerminatedText(PacketBuffer& buffer, std::u16string_view text, size_t limit)
{
    text = text.substr(0, std::min({ text.size(), limit, text.find(u'\0') }));
    for (char16_t unit : text)
        packetPutShort(buffer, uint16_t(unit));
    packetPutShort(buffer, 0);
    return !buffer.failed();
}

bool serialPacket(PacketBuffer& buffer, uint8_t action, uint32_t serial)
{
    beginPartyPacket(buffer, action);
    packetPutLong(buffer, serial);
    return !buffer.failed();
}

template <typename Build> void sendPartyBuilt(Build build)
{
    PacketStorage<kPartyPacketSize> buffer;
    if (build(buffer))
        sendSpeechPacket(buffer);
}

uint32_t partyOwnSerial()
{
    PlayerMobile* self = player();
    return self ? self->serial : playerSerial();
}

// The decimal number after the line's first character: leading blanks
// skipped, reading stops at the first other character; 0 when there is none.
int32_t numberAfterFirst(std::string_view copy)
{
    size_t at = 1;
    while (at < copy.size() && copy[at] == ' ')
        ++at;
    int32_t value = 0;
    for (; at < copy.size() && copy[at] >= '0' && copy[at] <= '9'; ++at) {
        value = value * 10 + (copy[at] - '0');
        // Only 1..10 mean anything; a longer number is simply large.
        if (value > 1000)
            return value;
    }
    return value;
}

// The word a party line's id is looked up by: its first word, or "t" and the
// number for a line that starts with "t" and a number 1..9.
std::string partyLineWord(std::string_view copy)
{
    std::string word;
    takeLowerWord(copy, word);
    if (!copy.empty() && (copy[0] == 't' || copy[0] == 'T')) {
        int32_t number = numberAfterFirst(copy);
        if (number >= 1 && number <= 9)
            word = "t" + std::to_string(number);
    }
    return word;
}

void showNoteToSelf(std::string_view text)
{
    std::string line = "Note to self: ";
    line.append(text);
    journal().setPrefix(JournalPrefix::None);
    showSystemBark(line, kPartyNoticeHue, kPartyNoticeFont);
}

void partyNotice(const char* text) { addSystemMessage(kPartyNoticeHue, kPartyNoticeFont, text); }

void answerInvitation(bool accept)
{
    PartyState& party = service<PartyState>();
    if (party.isInvitationPending()) {
        accept ? sendPartyAccept() : sendPartyDecline();
    } else if (isPlayerInParty()) {
        partyNotice(accept ? "You have already joined the party."
                           : "Too late to decline, you are already in the party. Try /quit.");
    } else {
        partyNotice("No one has invited you to be in a party.");
    }
    party.clearInvitation();
}

void tellMember(std::u16string_view line, const TellCommand& tell, bool byteMode)
{
    std::u16string_view message = line.substr(std::min(tell.messageStart, line.size()));
    uint32_t member = service<PartyState>().memberSerial(tell.slot - 1);
    if (isPlayerInParty() && member != partyOwnSerial()) {
        if (member != 0)
            sendPartyPrivateMessage(message, member);
        return;
    }
    showNoteToSelf(speechLineBytes(message, byteMode));
}

} // namespace

std::string_view takeLowerWord(std::string_view text, std::string& word)
{
    word.clear();
    size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    while (at < text.size() && text[at] != ' ' && text[at] != '\0') {
        char c = text[at++];
        word.push_back((c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c);
    }
    if (at < text.size() && text[at] == ' ')
        ++at;
    return text.substr(at);
}

std::string speechLineBytes(std::u16string_view line, bool byteMode)
{
    std::string copy;
    for (char16_t unit : line) {
        if (byteMode)
            copy.push_back(char(unit & 0xFF));
        else if (unit < 0x80)
            copy.push_back(char(unit));
    }
    return copy;
}

std::optional<TellCommand> parseTellCommand(std::u16string_view line, bool byteMode)
{
    std::string copy = speechLineBytes(line, byteMode);
    int32_t id = partyWordId(partyLineWord(copy));
    if (id < party_word::kTellFirst || id > party_word::kTellLast)
        return std::nullopt;
    size_t blanks = 0;
    while (1 + blanks < line.size() && line[1 + blanks] == u' ')
        ++blanks;
    TellCommand tell;
    tell.slot = id - party_word::kTellFirst + 1;
    tell.messageStart = blanks + (id == party_word::kTellLast ? 3 : 2);
    return tell;
}

bool buildPartyAddMemberPacket(PacketBuffer& buffer, uint32_t serial)
{
    return serialPacket(buffer, kActionAdd, serial);
}

bool buildPartyRemoveMemberPacket(PacketBuffer& buffer, uint32_t serial)
{
    return serialPacket(buffer, kActionRemove, serial);
}

bool buildPartyPrivateMessagePacket(PacketBuffer& buffer, uint32_t member, std::u16string_view text)
{
    beginPartyPacket(buffer, kActionPrivate);
    packetPutLong(buffer, member);
    return putTerminatedText(buffer, text, kMaxPrivateUnits);
}

bool buildPartyPublicMessagePacket(PacketBuffer& buffer, std::u16string_view text)
{
    beginPartyPacket(buffer, kActionPublic);
    return putTerminatedText(buffer, text, kMaxPublicUnits);
}

bool buildPartyLootFlagPacket(PacketBuffer& buffer, uint8_t lootFlag)
{
    beginPartyPacket(buffer, kActionLoot);
    packetPutByte(buffer, lootFlag);
    return !buffer.failed();
}

bool buildPartyAcceptPacket(PacketBuffer& buffer, uint32_t leader)
{
    return serialPacket(buffer, kActionAccept, leader);
}

bool buildPartyDeclinePacket(PacketBuffer& buffer, uint32_t leader)
{
    return serialPacket(buffer, kActionDecline, leader);
}

void sendPartyAddMember(uint32_t serial)
{
    sendPartyBuilt([serial](PacketBuffer& b) { return buildPartyAddMemberPacket(b, serial); });
}

void sendPartyRemoveMember(uint32_t serial)
{
    sendPartyBuilt([serial](PacketBuffer& b) { return buildPartyRemoveMemberPacket(b, serial); });
}

void sendPartyPrivateMessage(std::u16string_view text, uint32_t member)
{
    sendPartyBuilt([&](PacketBuffer& b) { return buildPartyPrivateMessagePacket(b, member, text); });
}

void sendPartyPublicMessage(std::u16string_view text)
{
    sendPartyBuilt([&](PacketBuffer& b) { return buildPartyPublicMessagePacket(b, text); });
}

void sendPartyLootFlag()
{
    uint8_t loot = service<PartyState>().lootFlag();
    sendPartyBuilt([loot](PacketBuffer& b) { return buildPartyLootFlagPacket(b, loot); });
}

void sendPartyAccept()
{
    uint32_t leader = service<PartyState>().invitingLeader();
    sendPartyBuilt([leader](PacketBuffer& b) { return buildPartyAcceptPacket(b, leader); });
    sendPartyLootFlag();
}

void sendPartyDecline()
{
    uint32_t leader = service<PartyState>().invitingLeader();
    sendPartyBuilt([leader](PacketBuffer& b) { return buildPartyDeclinePacket(b, leader); });
}

bool isPlayerInParty()
{
    uint32_t self = partyOwnSerial();
    PartyState& party = service<PartyState>();
    for (int32_t slot = 0; slot < PartyState::kSlots; ++slot) {
        if (party.memberSerial(slot) == self && self != 0)
            return true;
    }
    return false;
}

void handlePartyLine(std::u16string_view line, bool byteMode)
{
    std::string copy = speechLineBytes(line, byteMode);
    int32_t id = partyWordId(partyLineWord(copy));
    switch (id) {
    case party_word::kRemove:
        if (isPlayerInParty())
            sendPartyRemoveMember(0);
        else
            partyNotice("You are not in a party.");
        return;
    case party_word::kAdd:
        if (!targetingState().targetingActive)
            sendPartyAddMember(0);
        return;
    case party_word::kQuit:
        sendPartyRemoveMember(partyOwnSerial());
        return;
    case party_word::kAccept:
        answerInvitation(true);
        return;
    case party_word::kDecline:
        answerInvitation(false);
        return;
    case party_word::kBlank:
    case party_word::kList:
        return;
    default:
        break;
    }
    if (std::optional<TellCommand> tell = parseTellCommand(line, byteMode)) {
        tellMember(line, *tell, byteMode);
        return;
    }
    if (isPlayerInParty())
        sendPartyPublicMessage(line);
    else
        showNoteToSelf(copy);
}

bool handleCommandLine(std::u16string_view line, bool byteMode)
{
    std::string copy = speechLineBytes(line, byteMode);
    std::string word;
    std::string rest(takeLowerWord(copy, word));
    if (word == "next") {
        sendPartyBuilt([&rest](PacketBuffer& b) { return buildTextCommandPacket(b, kNextShardCommand, rest); });
        return true;
    }
    if (word == "con") {
        connectShardByName(rest, -1);
        return true;
    }
    if (word == "dis") {
        closeShardFromMenu();
        return true;
    }
    if (word == "sw") {
        switchToShard(-1);
        return true;
    }
    return false;
}
