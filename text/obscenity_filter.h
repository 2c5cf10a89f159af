#pragma once
// Masks the words of the player's obscene-word list in text shown to the
// player. The word list is loaded by the player-list code
// ("vobscene.lst") and handed over here; the filter only reads it. A masked
// character with code c becomes character c mod 7 of "!@#$%&*", so the mask
// comes from the text's own character. Main thread only.

#include <cstddef>
#include <string>
#include <vector>

// Words are kept at most kMaxObsceneWordLength units long; longer ones are cut.
constexpr size_t kMaxObsceneWordLength = 29;
void setObsceneWordList(const std::vector<std::u16string>& words);
const std::vector<std::u16string>& obsceneWordList();

// In place; each list word, in list order, masked wherever it occurs
// (letter case ignored).
void censorTextWide(char16_t* text);
// The same for byte text (bytes are characters of the same value).
void censorTextNarrow(char* text);
// Received speech: a first pass over a byte copy in which every unit from 128
// up reads as a blank (so a listed phrase with blanks also matches across
// non-ASCII characters), then a pass over the text as it is.
void censorSpeechText(char16_t* text);
