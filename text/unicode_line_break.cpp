#include "text/unicode_font.h"

#include <algorithm>
#include <iterator>

namespace {

// No line may end after one of these opening characters...
constexpr char16_t kNoBreakAfter[] = { 0x0022, 0x0024, 0x0027, 0x0028, 0x005B, 0x005C, 0x007B, 0x00A3, 0x00A5,
    0x3008, 0x300A, 0x300C, 0x300E, 0x3010, 0x3014, 0xFF04, 0xFF08, 0xFF3B, 0xFF5B, 0xFF62, 0xFFE1, 0xFFE5 };

// ...nor start with one of these closing ones (sorted).
constexpr char16_t kNoBreakBefore[] = { 0x0021, 0x0022, 0x0025, 0x0027, 0x0029, 0x002C, 0x002E, 0x003A, 0x003B,
    0x003F, 0x005D, 0x007D, 0x00A2, 0x00B0, 0x2030, 0x2032, 0x2033, 0x2103, 0x3001, 0x3002, 0x3005, 0x3009, 0x300B,
    0x300D, 0x300F, 0x3011, 0x3015, 0x309B, 0x309C, 0x309D, 0x309E, 0x30FB, 0x30FD, 0x30FE, 0xFF01, 0xFF05, 0xFF09,
    0xFF0C, 0xFF0E, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF3D, 0xFF5D, 0xFF61, 0xFF63, 0xFF64, 0xFF65, 0xFF9E, 0xFF9F, 0xFFE0 };

bool isCjk(char16_t c)
{
    return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF);
}

bool listed(const char16_t* begin, const char16_t* end, char16_t c)
{
    return std::find(begin, end, c) != end;
}

} // namespace

bool canBreakBetween(char16_t previous, char16_t next)
{
    if (previous == u' ')
        return true;
    if (!isCjk(previous) && !isCjk(next))
        return false;
    if (previous == 0 || next == 0)
        return true;
    if (listed(std::begin(kNoBreakAfter), std::end(kNoBreakAfter), previous))
        return false;
    if (listed(std::begin(kNoBreakBefore), std::end(kNoBreakBefore), next))
        return false;
    return true;
}
