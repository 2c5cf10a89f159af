#include "platform/sdl/sdl_key_map.h"
#include "platform/virtual_keys.h"

#include <gtest/gtest.h>
#include <string>

namespace {

namespace vk = platform::vk;

// SDL key codes are characters for printable keys and scancode | (1 << 30)
// for the others; these values are part of SDL's stable interface.
constexpr int32_t scancodeKey(int32_t scancode) { return scancode | (1 << 30); }

struct KeyCase {
    const char* name;
    int32_t sdlKey;
    uint16_t expected;
};

class SdlKeyMap : public ::testing::TestWithParam<KeyCase> { };

TEST_P(SdlKeyMap, KeepsTheStoredKeyCodes)
{
    EXPECT_EQ(platform::virtualKeyForSdlKey(GetParam().sdlKey), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, SdlKeyMap,
    ::testing::Values(KeyCase { "LetterA", 'a', 0x41 }, KeyCase { "LetterZ", 'z', 0x5A },
        KeyCase { "Digit0", '0', 0x30 }, KeyCase { "Digit9", '9', 0x39 }, KeyCase { "Return", '\r', vk::kReturn },
        KeyCase { "Escape", 27, vk::kEscape }, KeyCase { "Tab", '\t', vk::kTab }, KeyCase { "Space", ' ', 0x20 },
        KeyCase { "F1", scancodeKey(58), 0x70 }, KeyCase { "F12", scancodeKey(69), 0x7B },
        KeyCase { "F13", scancodeKey(104), 0x7C }, KeyCase { "LeftShift", scancodeKey(225), vk::kShift },
        KeyCase { "RightControl", scancodeKey(228), vk::kControl }, KeyCase { "LeftAlt", scancodeKey(226), vk::kAlt },
        KeyCase { "PageUp", scancodeKey(75), vk::kPageUp }, KeyCase { "Left", scancodeKey(80), vk::kLeft },
        KeyCase { "Keypad1", scancodeKey(89), 0x61 }, KeyCase { "Keypad0", scancodeKey(98), 0x60 },
        KeyCase { "KeypadEnter", scancodeKey(88), vk::kReturn }, KeyCase { "Semicolon", ';', 0xBA },
        KeyCase { "Backquote", '`', 0xC0 }, KeyCase { "Unknown", scancodeKey(300), 0 }),
    [](const ::testing::TestParamInfo<KeyCase>& param) { return std::string(param.param.name); });

TEST(SdlText, Utf8ToUtf16AndBack)
{
    std::u16string units;
    platform::appendUtf8AsUtf16("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", units);
    EXPECT_EQ(units, std::u16string(u"a\u00e9\u4e2d\U0001F600"));
    EXPECT_EQ(platform::utf16ToUtf8(units), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
}

TEST(SdlText, MalformedInputIsSkippedNotOverrun)
{
    std::u16string units;
    // A truncated sequence at the end, a lone continuation byte, an encoded
    // surrogate and a value past U+10FFFF.
    platform::appendUtf8AsUtf16("x\x80y\xED\xA0\x80z\xF4\x90\x80\x80w\xE4\xB8", units);
    EXPECT_EQ(units, u"xyzw");

    // Overlong forms of NUL, carriage return and U+FFFF.
    units.clear();
    platform::appendUtf8AsUtf16("a\xC0\x80" "b\xE0\x80\x8D" "c\xF0\x8F\xBF\xBF" "d", units);
    EXPECT_EQ(units, u"abcd");
    EXPECT_EQ(platform::utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"k"), "k");
}

// SDL_Keymod bits, part of SDL's stable interface like the key codes.
TEST(SdlText, ALeftAltChordIsACommandNotTyping)
{
    constexpr uint32_t kLeftShift = 0x0001, kLeftAlt = 0x0100, kRightAlt = 0x0200, kAltGr = 0x4000;
    EXPECT_TRUE(platform::textInputIsTyping(0));
    EXPECT_TRUE(platform::textInputIsTyping(kLeftShift));
    EXPECT_FALSE(platform::textInputIsTyping(kLeftAlt));
    EXPECT_FALSE(platform::textInputIsTyping(kLeftAlt | kLeftShift));
    EXPECT_TRUE(platform::textInputIsTyping(kAltGr));
    EXPECT_TRUE(platform::textInputIsTyping(kRightAlt));
}

} // namespace
