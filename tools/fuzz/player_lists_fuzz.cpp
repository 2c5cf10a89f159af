// The player's list files as bytes: the ignore list, the filter words, the
// character data and the speech keywords. Every reader keeps to its
// capacities, ends every name, and what it read writes back to bytes that
// read the same.
#include "data/player_lists.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> bytes(data, size);

    std::vector<IgnoreEntry> ignore = parseIgnoreList(bytes);
    if (ignore.size() > kMaxIgnoreEntries)
        __builtin_trap();
    for (const IgnoreEntry& entry : ignore) {
        if (std::memchr(entry.name.data(), 0, entry.name.size()) == nullptr)
            __builtin_trap();
    }
    std::string ignoreBytes = ignoreListBytes(ignore);
    std::vector<IgnoreEntry> again
        = parseIgnoreList(std::span(reinterpret_cast<const uint8_t*>(ignoreBytes.data()), ignoreBytes.size()));
    if (again.size() != ignore.size())
        __builtin_trap();

    std::vector<std::u16string> words = parseFilterWords(bytes);
    if (words.size() > kMaxFilterWords)
        __builtin_trap();
    for (const std::u16string& word : words) {
        if (word.empty() || word.size() > kMaxFilterWordLength)
            __builtin_trap();
    }

    CharacterHues hues;
    if (parseCharacterData(bytes, hues)) {
        std::string written = characterDataBytes(hues);
        CharacterHues reread;
        if (!parseCharacterData(std::span(reinterpret_cast<const uint8_t*>(written.data()), written.size()), reread)
            || reread.speech != hues.speech || reread.emote != hues.emote)
            __builtin_trap();
    }

    size_t textBytes = 0;
    for (const SpeechKeyword& keyword : parseSpeechKeywords(bytes))
        textBytes += keyword.text.size() + 4;
    if (textBytes > size)
        __builtin_trap();
    return 0;
}
