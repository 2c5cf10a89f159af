#pragma once
// What the SDL window backend translates: SDL key codes (the values of
// SDL_Keycode) to the client's virtual-key codes, and text between UTF-8 and
// UTF-16. Declared without SDL so that tests can reach them.

#include <cstdint>
#include <string>

namespace platform {

// 0 for a key the client has no code for.
uint16_t virtualKeyForSdlKey(int32_t sdlKey);
// Appends the UTF-16 units of UTF-8 `text`; malformed and overlong
// sequences, surrogates and values past U+10FFFF are skipped.
void appendUtf8AsUtf16(const char* text, std::u16string& out);
// Unpaired surrogates are dropped.
std::string utf16ToUtf8(const std::u16string& text);
// Whether text typed with these modifiers (SDL_Keymod bits) is typing: a
// left Alt chord (Alt+R, Alt+O...) is a command, and its letter must not
// reach the speech line too. AltGr, which layouts use to type characters,
// is not the left Alt.
bool textInputIsTyping(uint32_t sdlModifiers);

} // namespace platform
