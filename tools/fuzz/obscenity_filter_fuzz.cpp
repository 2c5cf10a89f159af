// Runs the three obscene-word filters over arbitrary text with an arbitrary
// word list: the input is UTF-16, the words come first, each ended by a zero
// unit, and the text is the rest after the word list's empty word.
#include "fuzz_byte_reader.h"
#include "text/obscenity_filter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::u16string> words;
    std::u16string current;
    size_t i = 0;
    for (; i + 1 < size; i += 2) {
        char16_t unit = char16_t(fuzz::le16(data + i));
        if (unit != 0) {
            current += unit;
            continue;
        }
        if (current.empty() || words.size() == 16) {
            i += 2;
            break;
        }
        words.push_back(current);
        current.clear();
    }
    setObsceneWordList(words);
    std::u16string text;
    for (; i + 1 < size; i += 2) {
        char16_t unit = char16_t(fuzz::le16(data + i));
        text += unit ? unit : u' ';
    }
    std::u16string wide = text;
    censorTextWide(wide.data());
    std::u16string speech = text;
    censorSpeechText(speech.data());
    std::string narrow;
    for (char16_t unit : text)
        narrow += char(unit & 0xFF ? unit & 0xFF : ' ');
    censorTextNarrow(narrow.data());
    // Masking only replaces characters, never the length.
    if (wide.size() != text.size() || speech.size() != text.size())
        __builtin_trap();
    return 0;
}
