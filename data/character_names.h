#pragma once
// The rules a new character's name must meet, and the case-blind search they
// use. Names are byte text.

#include <cstdint>
#include <string_view>

// Blank, '-', '.' and '\''.
bool isNameSeparator(char c);
// False for ASCII letters and the four separators.
bool isInvalidNameChar(char c);
// Index of the first occurrence of `pattern` in `text`, ASCII letters
// compared without case; -1 when there is none, 0 for an empty pattern.
int32_t findNoCase(std::string_view pattern, std::string_view text);
// 1 when the name is refused, 0 when it is accepted.
int32_t validateCharacterName(std::string_view name);
