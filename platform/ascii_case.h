#pragma once
// Case-insensitive comparison of names the way the client's data expects it:
// only the ASCII letters fold, every other byte compares as it is (file names,
// registry keys and settings keys were written for a file system and a
// registry that fold ASCII only).

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

} // namespace platform
