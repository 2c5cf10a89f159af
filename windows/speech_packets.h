#pragma once
// The player's speech as it leaves for the server: the Unicode speech packet
// (0xAD) in its plain form (UTF-16 big-endian text) and its keyword-coded
// form (the ids of the speech keywords the line matches, packed in 12 bits,
// then the text in UTF-8), with the keyword matcher behind it. Sending here
// is not throttled; windows/speech_throttle.h is. Main thread only.

#include "data/player_lists.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PacketBuffer;

// Speech types (the same numbers travel in both directions); a keyword-coded
// packet carries the type with these bits set.
namespace speech_type {
inline constexpr uint8_t kSay = 0;
inline constexpr uint8_t kBroadcast = 1;
inline constexpr uint8_t kEmote = 2;
inline constexpr uint8_t kCommandLine = 5;
inline constexpr uint8_t kLabel = 6;
inline constexpr uint8_t kFocus = 7;
inline constexpr uint8_t kWhisper = 8;
inline constexpr uint8_t kYell = 9;
inline constexpr uint8_t kParty = 11;
inline constexpr uint8_t kGuild = 13;
inline constexpr uint8_t kAlliance = 14;
inline constexpr uint8_t kGm = 15;
inline constexpr uint8_t kGmEnd = 16;
inline constexpr uint8_t kKeywordBits = 0xC0;
} // namespace speech_type

// Keyword ids are packed in 12 bits.
constexpr int32_t kMaxKeywordId = 0xFFF;

// UTF-8 of `text`: one to three bytes per unit (surrogates one by one).
std::string utf8Encode(std::u16string_view text);
// The text without its trailing blanks (U+0020).
std::u16string_view trimTrailingBlanks(std::u16string_view text);
// Two '*' marks: the pattern's inner part stands in the text as a word of its
// own (white space, punctuation or the text's end on both sides).
bool keywordWordMatch(std::string_view text, std::string_view pattern);
// The ids of the table's entries that the UTF-8 text matches (ASCII letters
// compared without case), ascending and each once; ids outside 0..4095 are
// skipped.
std::vector<int32_t> matchSpeechKeywords(std::string_view utf8Text, const std::vector<SpeechKeyword>& table);
// The count and the ids as 12-bit values, high bits first, the last byte
// padded with zero bits.
std::vector<uint8_t> packKeywordIds(const std::vector<int32_t>& ids);

// The 4-byte language code the packets carry (three letters and a 0).
using SpeechLanguage = std::array<char, 4>;
SpeechLanguage speechLanguageOf(std::string_view code);

// The plain form: type, hue, font, language, the text in UTF-16 big-endian
// and a 0 unit.
bool buildSpeechPacket(PacketBuffer& buffer, uint8_t type, uint16_t hue, uint16_t font,
    const SpeechLanguage& language, std::u16string_view text);
// The keyword form: type with the keyword bits, hue, font, language, the
// packed ids, the UTF-8 text and a 0 byte.
bool buildKeywordSpeechPacket(PacketBuffer& buffer, uint8_t type, uint16_t hue, uint16_t font,
    const SpeechLanguage& language, const std::vector<int32_t>& ids, std::string_view utf8Text);

// One line, unthrottled: trailing blanks cut; an emote goes out as "*text*"
// in the emote style, anything else keyword-coded when it matches a keyword,
// else plain in the speech style. Dropped when there is no game connection.
void sendUnicodeSpeech(std::u16string_view text, uint8_t type);
// Sends the keyword form when the line matches; the number of packed values
// (ids + 1), or 0 when nothing matched and nothing was sent.
int32_t sendKeywordSpeech(std::u16string_view text, uint8_t type);

// The language the speech packets carry (the translation client's target,
// which start-up sets to the current language).
const SpeechLanguage& speechLanguage();
void setSpeechLanguage(std::string_view code);
