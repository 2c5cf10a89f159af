#pragma once
// The conference chat's texts and packets without the window: the numbered
// texts of the "chat" string file, the formatting of server messages into
// them, the command words a typed line may start with, the colour pair of
// each line type, and the packets (server 0xB2 and 0xB3 read, client 0xB3
// and 0xB5 built). Main thread only.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class PacketBuffer;

// Entry n of the "chat" string file in the current language; empty when the
// file or the entry is missing.
std::u16string chatEntry(int32_t number);

// Each text of a chat packet is kept to this many units (the rest is read
// and dropped).
inline constexpr size_t kMaxChatTextUnits = 1023;

// Server 0xB2: a numbered message with two texts.
struct ChatMessage {
    uint16_t number = 0;
    std::array<char, 4> language {};
    std::u16string first;
    std::u16string second;
};
// False (nothing filled) when the packet is cut short: the number, the
// language and both texts with their terminators must lie inside it.
bool readChatMessage(const uint8_t* packet, ChatMessage& out);

// Server 0xB3: a chat line of a type.
struct ChatLine {
    std::array<char, 4> language {};
    uint16_t type = 0;
    std::u16string text;
};
bool readChatLine(const uint8_t* packet, ChatLine& out);

// Client 0xB5: the name cut after 30 units, zeros after it.
bool buildChatOpenRequest(PacketBuffer& packet, std::u16string_view name);
// Client 0xB3: the client's language code, the line, a closing 0.
bool buildChatLinePacket(PacketBuffer& packet, std::u16string_view line);

// An entry with "%1" replaced by `name` (its first and last characters
// recorded in nameStart and nameEnd, -1 when the entry has no "%1") and '%'
// with any other character after it by `second`. A '%' at the very end is
// kept as it is.
std::u16string formatChatMessage(
    std::u16string_view entry, std::u16string_view name, std::u16string_view second, int32_t& nameStart,
    int32_t& nameEnd);

// The status digit of a user or speaker name: 1 or 3 operator, 2 muted,
// anything else ordinary; 0 for an empty name.
int32_t chatStatusOf(std::u16string_view name);
// The name without its status digit (empty stays empty).
std::u16string_view chatNameOf(std::u16string_view name);

// Text and name colours (5-5-5) of a line type: 1 and 3 operators, 2 muted,
// 4 the player's own, 5 the system's, any other ordinary; from the chat
// colour settings.
struct ChatColours {
    int32_t text = 0;
    int32_t name = 0;
};
ChatColours chatColoursOf(int32_t type);
int32_t chatSettingColour(const char16_t* name);

// A typed line as it goes out: the letter of the first command word it
// starts with (case of ASCII letters ignored) and the rest after the word
// and one blank, or 'a' and the whole line.
std::u16string chatLineToSend(std::u16string_view typed);
// The letter of a command word's entry number, 0 for none.
char16_t chatCommandLetter(int32_t entry);
