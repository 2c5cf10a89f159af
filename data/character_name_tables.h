#pragma once
// The word lists of the character-name rules, in the order they are tested.

#include <span>

extern const std::span<const char* const> kReservedTitleWords;
extern const std::span<const char* const> kReservedStaffWords;
extern const std::span<const char* const> kReservedObsceneWords;
extern const std::span<const char* const> kReservedRudeWords;
