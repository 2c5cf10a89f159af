#include "data/character_names.h"

#include "data/character_name_tables.h"
#include "platform/ascii_text.h"

#include <string>

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The word's first occurrence counts when it stands as a whole word: at the
// start or after a separator, and at the end or before one.
bool containsWholeWord(std::string_view name, std::string_view word)
{
    int32_t at = findNoCase(word, name);
    if (at < 0)
        return false;
    size_t begin = size_t(at);
    size_t end = begin + word.size();
    bool startsWord = begin == 0 || isNameSeparator(name[begin - 1]);
    bool endsWord = end == name.size() || isNameSeparator(name[end]);
    return startsWord && endsWord;
}

} // namespace

bool isNameSeparator(char c) { return c == ' ' || c == '-' || c == '.' || c == '\''; }

bool isInvalidNameChar(char c) { return !isAsciiLetter(c) && !isNameSeparator(c); }

int32_t findNoCase(std::string_view pattern, std::string_view text)
{
    if (pattern.empty())
        return 0;
    if (pattern.size() > text.size())
        return -1;
    for (size_t at = 0; at + pattern.size() <= text.size(); ++at) {
        if (platform::equalIgnoringAsciiCase(text.substr(at, pattern.size()), pattern))
            return int32_t(at);
    }
    return -1;
}

int32_t validateCharacterName(std::string_view name)
{
    if (name.empty() || !isAsciiLetter(name[0]))
        return 1;
    for (char c : name) {
        if (isInvalidNameChar(c))
            return 1;
    }
    for (size_t i = 0; i + 1 < name.size(); ++i) {
        if (isNameSeparator(name[i]) && isNameSeparator(name[i + 1]))
            return 1;
    }
    for (std::string_view title : { "Lord", "Lady", "GM", "Counselor", "Seer" }) {
        if (name.size() >= title.size() && platform::equalIgnoringAsciiCase(name.substr(0, title.size()), title))
            return 1;
    }
    for (std::span<const char* const> list :
        { kReservedTitleWords, kReservedStaffWords, kReservedObsceneWords, kReservedRudeWords }) {
        for (const char* word : list) {
            if (containsWholeWord(name, word))
                return 1;
        }
    }
    return 0;
}
