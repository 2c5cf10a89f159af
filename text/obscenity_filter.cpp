#include "text/obscenity_filter.h"

#include "core/wide_text.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kMaskAlphabet[] = "!@#$%&*";
constexpr size_t kNarrowWorkUnits = 8192;

std::vector<std::u16string> g_words;

char16_t maskFor(char16_t c)
{
    return char16_t(kMaskAlphabet[uint16_t(c) % 7]);
}

void maskWord(char16_t* text, const std::u16string& word)
{
    if (word.empty())
        return;
    int32_t length = int32_t(word.size());
    // Each search resumes just after the previous match's start: the masked
    // characters cannot match again, and a mask character that maps to itself
    // ('@') cannot keep the search on the same spot.
    int32_t from = 0;
    for (;;) {
        int32_t found = wstrFindNoCase(word.c_str(), text + from);
        if (found < 0)
            return;
        int32_t at = from + found;
        for (int32_t i = 0; i < length; ++i)
            text[at + i] = maskFor(text[at + i]);
        from = at + 1;
    }
}

} // namespace

void setObsceneWordList(const std::vector<std::u16string>& words)
{
    g_words.clear();
    for (const std::u16string& word : words)
        g_words.push_back(word.substr(0, kMaxObsceneWordLength));
}

const std::vector<std::u16string>& obsceneWordList()
{
    return g_words;
}

void censorTextWide(char16_t* text)
{
    if (!text)
        return;
    for (const std::u16string& word : g_words)
        maskWord(text, word);
}

void censorTextNarrow(char* text)
{
    if (!text)
        return;
    // Texts longer than the work buffer are filtered in their first part only.
    char16_t wide[kNarrowWorkUnits];
    size_t length = strnlen(text, kNarrowWorkUnits - 1);
    asciiToWideN(wide, text, int32_t(length));
    censorTextWide(wide);
    for (size_t i = 0; i < length; ++i)
        text[i] = char(wide[i] & 0xFF);
}

void censorSpeechText(char16_t* text)
{
    if (!text)
        return;
    size_t length = size_t(wstrLen(text));
    std::string copy(length, ' ');
    for (size_t i = 0; i < length; ++i)
        copy[i] = text[i] >= 128 ? ' ' : char(text[i]);
    censorTextNarrow(copy.data());
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < 128 && copy[i] != char(text[i]))
            text[i] = char16_t(uint8_t(copy[i]));
    }
    censorTextWide(text);
}
