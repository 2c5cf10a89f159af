#include "platform/sdl/sdl_key_map.h"

#include "platform/virtual_keys.h"

#include <SDL.h>

namespace platform {

uint16_t virtualKeyForSdlKey(int32_t key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return uint16_t(vk::kLetterA + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return uint16_t(vk::kDigit0 + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return uint16_t(vk::kF1 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24)
        return uint16_t(vk::kF1 + 12 + (key - SDLK_F13));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return uint16_t(vk::kNumpad0 + 1 + (key - SDLK_KP_1));
    switch (key) {
    case SDLK_BACKSPACE: return vk::kBackspace;
    case SDLK_TAB: return vk::kTab;
    case SDLK_CLEAR: return vk::kClear;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vk::kReturn;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk::kShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk::kControl;
    case SDLK_LALT:
    case SDLK_RALT: return vk::kAlt;
    case SDLK_PAUSE: return vk::kPause;
    case SDLK_CAPSLOCK: return vk::kCapsLock;
    case SDLK_ESCAPE: return vk::kEscape;
    case SDLK_SPACE: return vk::kSpace;
    case SDLK_PAGEUP: return vk::kPageUp;
    case SDLK_PAGEDOWN: return vk::kPageDown;
    case SDLK_END: return vk::kEnd;
    case SDLK_HOME: return vk::kHome;
    case SDLK_LEFT: return vk::kLeft;
    case SDLK_UP: return vk::kUp;
    case SDLK_RIGHT: return vk::kRight;
    case SDLK_DOWN: return vk::kDown;
    case SDLK_PRINTSCREEN: return vk::kPrintScreen;
    case SDLK_INSERT: return vk::kInsert;
    case SDLK_DELETE: return vk::kDelete;
    case SDLK_LGUI: return vk::kLeftMeta;
    case SDLK_RGUI: return vk::kRightMeta;
    case SDLK_APPLICATION: return vk::kMenu;
    case SDLK_KP_0: return vk::kNumpad0;
    case SDLK_KP_MULTIPLY: return vk::kMultiply;
    case SDLK_KP_PLUS: return vk::kAdd;
    case SDLK_KP_MINUS: return vk::kSubtract;
    case SDLK_KP_PERIOD: return vk::kDecimal;
    case SDLK_KP_DIVIDE: return vk::kDivide;
    case SDLK_NUMLOCKCLEAR: return vk::kNumLock;
    case SDLK_SCROLLLOCK: return vk::kScrollLock;
    case SDLK_SEMICOLON: return vk::kSemicolon;
    case SDLK_EQUALS: return vk::kEquals;
    case SDLK_COMMA: return vk::kComma;
    case SDLK_MINUS: return vk::kMinus;
    case SDLK_PERIOD: return vk::kPeriod;
    case SDLK_SLASH: return vk::kSlash;
    case SDLK_BACKQUOTE: return vk::kBackquote;
    case SDLK_LEFTBRACKET: return vk::kLeftBracket;
    case SDLK_BACKSLASH: return vk::kBackslash;
    case SDLK_RIGHTBRACKET: return vk::kRightBracket;
    case SDLK_QUOTE: return vk::kQuote;
    default: return 0;
    }
}

void appendUtf8AsUtf16(const char* text, std::u16string& out)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    while (*bytes) {
        uint32_t code = 0;
        int extra = 0;
        if (*bytes < 0x80) {
            code = *bytes;
        } else if ((*bytes & 0xE0) == 0xC0) {
            code = *bytes & 0x1F;
            extra = 1;
        } else if ((*bytes & 0xF0) == 0xE0) {
            code = *bytes & 0x0F;
            extra = 2;
        } else if ((*bytes & 0xF8) == 0xF0) {
            code = *bytes & 0x07;
            extra = 3;
        } else {
            ++bytes;
            continue;
        }
        ++bytes;
        bool complete = true;
        for (int i = 0; i < extra; ++i) {
            if ((*bytes & 0xC0) != 0x80) {
                complete = false;
                break;
            }
            code = (code << 6) | (*bytes & 0x3F);
            ++bytes;
        }
        // An overlong form (a NUL or a line end spelt in more bytes than it
        // needs) is refused like any other malformed sequence.
        constexpr uint32_t kSmallestOf[] = { 0, 0x80, 0x800, 0x10000 };
        if (!complete || code < kSmallestOf[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            continue;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(char16_t(0xD800 + (code >> 10)));
            out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
    }
}

std::string utf16ToUtf8(const std::u16string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        if (code < 0x80) {
            out.push_back(char(code));
        } else if (code < 0x800) {
            out.push_back(char(0xC0 | (code >> 6)));
            out.push_back(char(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(char(0xE0 | (code >> 12)));
            out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(char(0x80 | (code & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (code >> 18)));
            out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(char(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

bool textInputIsTyping(uint32_t sdlModifiers) { return (sdlModifiers & KMOD_LALT) == 0; }

} // namespace platform
