#include "core/html_colour.h"

#include "platform/ascii_text.h"

#include <algorithm>

namespace {

// Leading decimal digits after an optional minus sign; stays within 32 bits.
template <typename Char> int32_t parseDecimal(std::basic_string_view<Char> text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x7FFFFFFF)
            value = 0x7FFFFFFF;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

template <typename Char> int32_t parseColour(std::basic_string_view<Char> text)
{
    uint32_t rgb = 0;
    if (!text.empty() && text[0] == '#') {
        for (size_t i = 1; i <= 6; ++i)
            rgb = rgb << 4 | uint32_t(i < text.size() ? std::max(0, platform::hexDigitValue(char32_t(text[i]))) : 0);
    } else {
        int32_t value = parseDecimal(text);
        if (!text.empty() && text[0] == '-')
            return value;
        rgb = uint32_t(value);
    }
    return static_cast<int32_t>(
        ((((rgb >> 16) & 0xFF) >> 3) << 10) | ((((rgb >> 8) & 0xFF) >> 3) << 5) | ((rgb & 0xFF) >> 3));
}

} // namespace

int32_t parseHtmlColor(std::string_view text) { return parseColour(text); }

int32_t parseHtmlColor(std::u16string_view text) { return parseColour(text); }
