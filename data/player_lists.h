#pragma once
// The small per-player data kept outside the settings file: the ignore list
// ("ignore.lst"), the player's own list of words to filter ("vobscene.lst"),
// the speech and emote hues of each character slot ("chardata.mul") and the
// server's speech keywords ("speech.mul"), with the light scrambling of stored
// password texts. Files are found through the file manager and replaced whole
// (temporary file, then rename). Main thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

constexpr size_t kMaxIgnoreEntries = 20;
// A name of at most 29 bytes and its terminator.
constexpr size_t kIgnoreNameSize = 30;
constexpr size_t kMaxFilterWords = 120;
constexpr size_t kMaxFilterWordLength = 29;
// One line of the filter word file holds at most this many characters.
constexpr size_t kMaxFilterLineLength = 255;
constexpr size_t kCharacterSlots = 6;
constexpr uint16_t kDefaultSpeechHue = 690;
constexpr uint16_t kDefaultEmoteHue = 549;

struct IgnoreEntry {
    std::array<char, kIgnoreNameSize> name {};
    uint32_t serial = 0;
};

struct PlayerLists {
    std::vector<IgnoreEntry> ignore;
    std::vector<std::u16string> filterWords;
};

PlayerLists& playerLists();
// Reads both list files; a missing file gives an empty list.
void loadPlayerLists();
// 0 writes the filter word list, 1 the ignore list; other values do nothing.
// False when the file could not be written.
bool savePlayerList(int which);
bool isIgnored(uint32_t serial);
// Called with the filter words after each load (the obscenity filter keeps
// its own copy).
void setFilterWordsListener(std::function<void(const std::vector<std::u16string>&)> listener);

// The file forms, for the loaders, the savers and the tests.
std::vector<IgnoreEntry> parseIgnoreList(std::span<const uint8_t> bytes);
std::string ignoreListBytes(const std::vector<IgnoreEntry>& entries);
std::vector<std::u16string> parseFilterWords(std::span<const uint8_t> bytes);
std::string filterWordBytes(const std::vector<std::u16string>& words);

// Stored password texts: each byte c becomes c + 13, or c - 82 when c + 13
// leaves the 7-bit range; unshifting undoes it within the printable range.
void shiftScrambleText(std::string& text);
void unshiftScrambleText(std::string& text);

// The hues of each character slot, and the four values in use while talking.
struct CharacterHues {
    std::array<uint16_t, kCharacterSlots> speech;
    std::array<uint16_t, kCharacterSlots> emote;
    CharacterHues()
    {
        speech.fill(kDefaultSpeechHue);
        emote.fill(kDefaultEmoteHue);
    }
};
struct SpeechStyle {
    uint16_t speechHue = 995;
    uint16_t speechFont = 3;
    uint16_t emoteHue = 995;
    uint16_t emoteFont = 3;
};
CharacterHues& characterHues();
SpeechStyle& speechStyle();

// The 20-byte form (five slots each) or " ver 1\n" and six slots each; false
// (the hues unchanged) for anything else.
bool parseCharacterData(std::span<const uint8_t> bytes, CharacterHues& hues);
std::string characterDataBytes(const CharacterHues& hues);
// Reads "chardata.mul" (per character, shared or plain), then takes the hues
// of the default slot into the speech style.
void loadCharacterData();
void saveCharacterData();
// The file the character data is read from and written to.
std::string characterDataPath();

struct SpeechKeyword {
    std::string text;
    int32_t id;
};
// Whole records only: a record that runs past the end, or has a negative
// length, ends the table.
std::vector<SpeechKeyword> parseSpeechKeywords(std::span<const uint8_t> bytes);
const std::vector<SpeechKeyword>& speechKeywords();
void loadSpeechKeywords();
void freeSpeechKeywords();
