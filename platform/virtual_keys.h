#pragma once
// Virtual-key codes: the numeric key values the window messages carry. They
// are the values the game's stored files (macros, key names) were written
// with, so they must never be renumbered. Letters and digits are their upper
// case ASCII codes ('A' = 0x41, '0' = 0x30).

#include <cstdint>

namespace platform::vk {

inline constexpr uint16_t kBackspace = 0x08;
inline constexpr uint16_t kTab = 0x09;
inline constexpr uint16_t kClear = 0x0C;
inline constexpr uint16_t kReturn = 0x0D;
inline constexpr uint16_t kShift = 0x10;
inline constexpr uint16_t kControl = 0x11;
inline constexpr uint16_t kAlt = 0x12;
inline constexpr uint16_t kPause = 0x13;
inline constexpr uint16_t kCapsLock = 0x14;
inline constexpr uint16_t kEscape = 0x1B;
inline constexpr uint16_t kSpace = 0x20;
inline constexpr uint16_t kPageUp = 0x21;
inline constexpr uint16_t kPageDown = 0x22;
inline constexpr uint16_t kEnd = 0x23;
inline constexpr uint16_t kHome = 0x24;
inline constexpr uint16_t kLeft = 0x25;
inline constexpr uint16_t kUp = 0x26;
inline constexpr uint16_t kRight = 0x27;
inline constexpr uint16_t kDown = 0x28;
inline constexpr uint16_t kPrintScreen = 0x2C;
inline constexpr uint16_t kInsert = 0x2D;
inline constexpr uint16_t kDelete = 0x2E;
inline constexpr uint16_t kDigit0 = 0x30; // to 0x39
inline constexpr uint16_t kLetterA = 0x41; // to 0x5A
inline constexpr uint16_t kLeftMeta = 0x5B;
inline constexpr uint16_t kRightMeta = 0x5C;
inline constexpr uint16_t kMenu = 0x5D;
inline constexpr uint16_t kNumpad0 = 0x60; // to 0x69
inline constexpr uint16_t kMultiply = 0x6A;
inline constexpr uint16_t kAdd = 0x6B;
inline constexpr uint16_t kSubtract = 0x6D;
inline constexpr uint16_t kDecimal = 0x6E;
inline constexpr uint16_t kDivide = 0x6F;
inline constexpr uint16_t kF1 = 0x70; // to F24 = 0x87
inline constexpr uint16_t kF10 = 0x79;
inline constexpr uint16_t kNumLock = 0x90;
inline constexpr uint16_t kScrollLock = 0x91;
inline constexpr uint16_t kSemicolon = 0xBA;
inline constexpr uint16_t kEquals = 0xBB;
inline constexpr uint16_t kComma = 0xBC;
inline constexpr uint16_t kMinus = 0xBD;
inline constexpr uint16_t kPeriod = 0xBE;
inline constexpr uint16_t kSlash = 0xBF;
inline constexpr uint16_t kBackquote = 0xC0;
inline constexpr uint16_t kLeftBracket = 0xDB;
inline constexpr uint16_t kBackslash = 0xDC;
inline constexpr uint16_t kRightBracket = 0xDD;
inline constexpr uint16_t kQuote = 0xDE;

inline constexpr uint16_t letter(char upper) { return uint16_t(kLetterA + (upper - 'A')); }
inline constexpr uint16_t digit(int value) { return uint16_t(kDigit0 + value); }
inline constexpr uint16_t function(int number) { return uint16_t(kF1 + number - 1); }

} // namespace platform::vk
