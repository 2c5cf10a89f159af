#pragma once
// Texts the protocol handlers show: localized messages by number, and the
// font of their system messages (the runtime debug lines go through
// addDebugSystemMessage, data/client_services.h). Main thread only.

#include <cstdint>
#include <string>

// The localized text of a message number (a text naming the number when the
// string tables lack it).
std::u16string clilocText(int32_t id);
// The localized text with its tab-separated arguments substituted.
std::u16string clilocTextWithArguments(int32_t id, const std::u16string& arguments);

inline constexpr uint8_t kSystemMessageFont = 3;
