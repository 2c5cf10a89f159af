#pragma once
// Small ASCII text helpers shared by the readers of the client's text files.
// Case-insensitive comparison folds only the ASCII letters, every other byte
// compares as it is (file names, registry keys and settings keys were written
// for a file system and a registry that fold ASCII only).

#include <string_view>

namespace platform {

constexpr char foldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

constexpr bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldAsciiCase(a[i]) != foldAsciiCase(b[i]))
            return false;
    }
    return true;
}

constexpr bool isAsciiDigit(char32_t c) { return c >= '0' && c <= '9'; }

// The blanks of the C locale: the text tables separate their fields with any of them.
constexpr bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of one hexadecimal digit of any case, or -1 for anything else.
constexpr int hexDigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    return -1;
}

} // namespace platform
