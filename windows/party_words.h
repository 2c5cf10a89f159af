#pragma once
// The words of the speech line's party and command-line modes. In party mode
// a line is a party command (add, remove, quit, accept, decline, tell one
// member) or party chat, and a player outside any party gets it back as a
// note to self. In command-line mode (body 987 only) a few words drive the
// extra shard sessions. The party requests themselves (packet 0xBF, party
// sub-command) are built here. Main thread only.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class PacketBuffer;

namespace party_word {
inline constexpr int32_t kRemove = 220;
inline constexpr int32_t kAdd = 221;
inline constexpr int32_t kQuit = 222;
inline constexpr int32_t kAccept = 223;
inline constexpr int32_t kDecline = 224;
inline constexpr int32_t kBlank = 225;
inline constexpr int32_t kList = 226;
inline constexpr int32_t kTellFirst = 227; // "t1"; "t10" is 236
inline constexpr int32_t kTellLast = 236;
} // namespace party_word

// Skips leading blanks and copies the next word (up to a blank or the end),
// with 'A'..'Z' lowered, into `word`; returns what follows, one character past
// a blank that ended the word.
std::string_view takeLowerWord(std::string_view text, std::string& word);
// The id of the first row of the word table whose word is `word`; -1 for none.
int32_t partyWordId(std::string_view word);

// The byte copy the words are read from: in byte mode each unit is a byte;
// otherwise UTF-16 units of 128 and up are left out.
std::string speechLineBytes(std::u16string_view line, bool byteMode);

// A party line that tells one member: the slot (1..10, slot 1 the party's
// first) and where the message starts in the line. The one reading used for
// both the shown line and what is sent: "t" and a number 1..9 (blanks allowed
// between), or the word "t10".
struct TellCommand {
    int32_t slot = 0;
    size_t messageStart = 0;
};
std::optional<TellCommand> parseTellCommand(std::u16string_view line, bool byteMode);

// The party requests.
bool buildPartyAddMemberPacket(PacketBuffer& buffer, uint32_t serial);
bool buildPartyRemoveMemberPacket(PacketBuffer& buffer, uint32_t serial);
// Longer texts are cut to 116 (private) and 118 (public) units.
bool buildPartyPrivateMessagePacket(PacketBuffer& buffer, uint32_t member, std::u16string_view text);
bool buildPartyPublicMessagePacket(PacketBuffer& buffer, std::u16string_view text);
bool buildPartyLootFlagPacket(PacketBuffer& buffer, uint8_t lootFlag);
bool buildPartyAcceptPacket(PacketBuffer& buffer, uint32_t leader);
bool buildPartyDeclinePacket(PacketBuffer& buffer, uint32_t leader);

void sendPartyAddMember(uint32_t serial);
void sendPartyRemoveMember(uint32_t serial);
void sendPartyPrivateMessage(std::u16string_view text, uint32_t member);
void sendPartyPublicMessage(std::u16string_view text);
// The player's loot flag as the party table holds it.
void sendPartyLootFlag();
// The accept, then the player's loot flag.
void sendPartyAccept();
void sendPartyDecline();

// Enter in party mode: always takes the line.
void handlePartyLine(std::u16string_view line, bool byteMode);
// Enter in command-line mode: false when the first word is none of its words.
bool handleCommandLine(std::u16string_view line, bool byteMode);

// True while the player's serial stands in a party slot.
bool isPlayerInParty();
