// The markup dialect's colour names.
#include "text/html_document.h"

#include <string_view>

namespace {

struct NamedColour {
    std::string_view name;
    int32_t colour;
};

// Tested in this order, each as a beginning of the text; the first match
// wins.
constexpr NamedColour kColourNames[] = {
    { "BLACK", 1 },
    { "RED", 0x7C00 },
    { "LIME", 0x3E0 },
    { "BLUE", 0x1F },
    { "YELLOW", 0x7FE0 },
    { "MAGENTA", 0x7C1F },
    { "FUCHSIA", 0x7C1F },
    { "CYAN", 0x3FF },
    { "AQUA", 0x3FF },
    { "WHITE", 0x7BDE },
    { "DARKRED", 0x3C00 },
    { "MAROON", 0x3C00 },
    { "GREEN", 0x1E0 },
    { "DARKGREEN", 0x168 },
    { "DARKBLUE", 0xF },
    { "NAVY", 0xF },
    { "DARKYELLOW", 0x3DE0 },
    { "OLIVE", 0x3DE0 },
    { "DARKMAGENTA", 0x3C0F },
    { "PURPLE", 0x3C0F },
    { "DARKCYAN", 0x1EF },
    { "TEAL", 0x1EF },
    { "GRAY", 0x3DEF },
    { "GREY", 0x3DEF },
};

bool beginsWithNameNoCase(std::u16string_view text, std::string_view name)
{
    if (text.size() < name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - u'a' + u'A');
        if (c != char16_t(name[i]))
            return false;
    }
    return true;
}

} // namespace

int32_t htmlColourByName(std::u16string_view text)
{
    for (const NamedColour& entry : kColourNames) {
        if (beginsWithNameNoCase(text, entry.name))
            return entry.colour;
    }
    return -1;
}
