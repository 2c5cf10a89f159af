#include "data/player_lists.h"

#include "core/byte_cursor.h"
#include "core/byte_writer.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/file_manager.h"
#include "data/managed_files.h"
#include "data/server_config_store.h"

#include <cstring>

namespace {

constexpr const char* kIgnoreFile = "ignore.lst";
constexpr const char* kFilterFile = "vobscene.lst";
constexpr const char* kCharacterDataFile = "chardata.mul";
constexpr const char* kSpeechFile = "speech.mul";
constexpr const char* kCharacterDataHeader = " ver 1\n";
constexpr size_t kCharacterDataHeaderSize = 7;
constexpr size_t kOldCharacterDataSize = 20;
constexpr size_t kOldFormSlots = 5;
// Every unit of the filter word file is stored shifted by this much.
constexpr char16_t kFilterShift = 13;

std::function<void(const std::vector<std::u16string>&)>& filterWordsListener()
{
    static std::function<void(const std::vector<std::u16string>&)> listener;
    return listener;
}

std::vector<SpeechKeyword>& keywordTable()
{
    static std::vector<SpeechKeyword> table;
    return table;
}

std::vector<uint8_t> readBytes(const std::string& name)
{
    std::vector<uint8_t> bytes;
    fileManager().readWhole(name, bytes);
    return bytes;
}

} // namespace

PlayerLists& playerLists()
{
    static PlayerLists lists;
    return lists;
}

std::vector<IgnoreEntry> parseIgnoreList(std::span<const uint8_t> bytes)
{
    std::vector<IgnoreEntry> entries;
    ByteCursor cursor(bytes);
    while (entries.size() < kMaxIgnoreEntries) {
        IgnoreEntry entry;
        std::array<uint8_t, kIgnoreNameSize> name {};
        cursor.readBytes(name);
        entry.serial = cursor.readU32();
        if (cursor.failed())
            break;
        std::memcpy(entry.name.data(), name.data(), name.size());
        // The file may hold a name without its terminator.
        entry.name.back() = '\0';
        entries.push_back(entry);
    }
    return entries;
}

std::string ignoreListBytes(const std::vector<IgnoreEntry>& entries)
{
    ByteWriter writer;
    for (const IgnoreEntry& entry : entries) {
        writer.raw(std::span<const char>(entry.name.data(), entry.name.size()));
        writer.u32(entry.serial);
    }
    return std::string(writer.bytes().begin(), writer.bytes().end());
}

std::vector<std::u16string> parseFilterWords(std::span<const uint8_t> bytes)
{
    std::vector<std::u16string> words;
    size_t at = 0;
    auto readUnit = [&](char16_t& unit) {
        if (at + 2 > bytes.size())
            return false;
        unit = char16_t(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return true;
    };
    while (at + 2 <= bytes.size()) {
        std::u16string word;
        char16_t unit = 0;
        while (readUnit(unit)) {
            char16_t plain = char16_t(unit - kFilterShift);
            if (plain == u'\n' || plain == u'\r') {
                // A raw line end of the other kind right after it belongs to
                // this line end; anything else starts the next word.
                char16_t next = 0;
                size_t before = at;
                if (readUnit(next) && !((next == u'\n' || next == u'\r') && next != plain))
                    at = before;
                break;
            }
            if (word.size() < kMaxFilterLineLength)
                word.push_back(plain);
        }
        if (word.empty())
            continue;
        if (word.size() > kMaxFilterWordLength)
            word.resize(kMaxFilterWordLength);
        if (words.size() < kMaxFilterWords)
            words.push_back(std::move(word));
    }
    return words;
}

std::string filterWordBytes(const std::vector<std::u16string>& words)
{
    ByteWriter writer;
    for (const std::u16string& word : words) {
        for (char16_t unit : word)
            writer.u16(char16_t(unit + kFilterShift));
        writer.u16(char16_t(u'\n' + kFilterShift));
    }
    return std::string(writer.bytes().begin(), writer.bytes().end());
}

void loadPlayerLists()
{
    PlayerLists& lists = playerLists();
    lists.ignore = parseIgnoreList(readBytes(kIgnoreFile));
    lists.filterWords = parseFilterWords(readBytes(kFilterFile));
    if (filterWordsListener())
        filterWordsListener()(lists.filterWords);
}

bool savePlayerList(int which)
{
    if (which == 0)
        return writeManagedFile(kFilterFile, filterWordBytes(playerLists().filterWords));
    if (which == 1)
        return writeManagedFile(kIgnoreFile, ignoreListBytes(playerLists().ignore));
    return false;
}

bool isIgnored(uint32_t serial)
{
    for (const IgnoreEntry& entry : playerLists().ignore) {
        if (entry.serial == serial)
            return true;
    }
    return false;
}

void setFilterWordsListener(std::function<void(const std::vector<std::u16string>&)> listener)
{
    filterWordsListener() = std::move(listener);
}

void shiftScrambleText(std::string& text)
{
    for (char& c : text) {
        unsigned value = uint8_t(c);
        c = char(value + 13 >= 128 ? value - 82 : value + 13);
    }
}

void unshiftScrambleText(std::string& text)
{
    for (char& c : text) {
        uint8_t value = uint8_t(uint8_t(c) - 13);
        c = char(value < 32 ? uint8_t(value + 95) : value);
    }
}

CharacterHues& characterHues()
{
    static CharacterHues hues;
    return hues;
}

SpeechStyle& speechStyle()
{
    static SpeechStyle style;
    return style;
}

bool parseCharacterData(std::span<const uint8_t> bytes, CharacterHues& hues)
{
    CharacterHues read = hues;
    ByteCursor cursor(bytes);
    size_t slots = kCharacterSlots;
    if (bytes.size() == kOldCharacterDataSize) {
        slots = kOldFormSlots;
    } else {
        if (bytes.size() < kCharacterDataHeaderSize
            || std::memcmp(bytes.data(), kCharacterDataHeader, kCharacterDataHeaderSize) != 0)
            return false;
        cursor.skip(kCharacterDataHeaderSize);
    }
    for (size_t slot = 0; slot < slots; ++slot)
        read.speech[slot] = cursor.readU16();
    for (size_t slot = 0; slot < slots; ++slot)
        read.emote[slot] = cursor.readU16();
    if (cursor.failed())
        return false;
    hues = read;
    return true;
}

std::string characterDataBytes(const CharacterHues& hues)
{
    ByteWriter writer;
    writer.raw(std::span<const char>(kCharacterDataHeader, kCharacterDataHeaderSize));
    for (uint16_t hue : hues.speech)
        writer.u16(hue);
    for (uint16_t hue : hues.emote)
        writer.u16(hue);
    return std::string(writer.bytes().begin(), writer.bytes().end());
}

std::string characterDataPath() { return characterFilePath(kCharacterDataFile, 5); }

void loadCharacterData()
{
    std::string path = characterDataPath();
    std::string bytes;
    if (!readManagedFile(path, bytes) && path != kCharacterDataFile)
        readManagedFile(kCharacterDataFile, bytes);
    parseCharacterData(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), characterHues());
    int32_t slot = configValues().defaultCharacterSlot;
    if (slot >= 0 && size_t(slot) < kCharacterSlots) {
        speechStyle().speechHue = characterHues().speech[size_t(slot)];
        speechStyle().emoteHue = characterHues().emote[size_t(slot)];
    }
}

void saveCharacterData()
{
    std::string bytes = characterDataBytes(characterHues());
    std::string path = characterDataPath();
    if (!writeManagedFile(path, bytes) && path != kCharacterDataFile)
        writeManagedFile(kCharacterDataFile, bytes);
}

std::vector<SpeechKeyword> parseSpeechKeywords(std::span<const uint8_t> bytes)
{
    std::vector<SpeechKeyword> table;
    size_t at = 0;
    while (at + 4 <= bytes.size()) {
        int32_t id = int16_t(uint16_t(bytes[at] << 8 | bytes[at + 1]));
        int32_t length = int16_t(uint16_t(bytes[at + 2] << 8 | bytes[at + 3]));
        at += 4;
        if (length < 0 || size_t(length) > bytes.size() - at)
            break;
        table.push_back({ std::string(reinterpret_cast<const char*>(bytes.data() + at), size_t(length)), id });
        at += size_t(length);
    }
    return table;
}

const std::vector<SpeechKeyword>& speechKeywords() { return keywordTable(); }

void loadSpeechKeywords() { keywordTable() = parseSpeechKeywords(readBytes(kSpeechFile)); }

void freeSpeechKeywords()
{
    keywordTable().clear();
    keywordTable().shrink_to_fit();
}
