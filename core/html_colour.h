#pragma once
// Colours written as text in the settings files and in markup.

#include <cstdint>
#include <string_view>

// "#RRGGBB" (either case; any other character counts as 0, and missing digits
// too), a decimal 0xRRGGBB, or a negative decimal returned as it is. Returns
// a 5-5-5 colour.
int32_t parseHtmlColor(std::string_view text);
int32_t parseHtmlColor(std::u16string_view text);
