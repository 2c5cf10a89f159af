#pragma once
// Texts the protocol handlers show: localized messages by number, and the
// runtime debug lines that the RuntimeDebugMsg setting switches on. Main
// thread only.

#include <cstdint>
#include <string>

// The localized text of a message number (a text naming the number when the
// string tables lack it).
std::u16string clilocText(int32_t id);
// The localized text with its tab-separated arguments substituted.
std::u16string clilocTextWithArguments(int32_t id, const std::u16string& arguments);

// True while the RuntimeDebugMsg setting is on.
bool runtimeDebugMessages();
// A system message in the debug hue and font, only while debug messages are on.
void debugSystemMessage(const std::string& text);

inline constexpr uint16_t kDebugMessageHue = 33;
inline constexpr uint8_t kSystemMessageFont = 3;
