// The virtue table of server-described gumps: each virtue's picture and the
// three hues that show how far the player has followed it.
#include "gump/generic_gump.h"

#include "core/wide_string.h"
#include "text/cliloc_table.h"

#include <algorithm>
#include <array>

namespace {

struct VirtueRow {
    int32_t art;
    std::array<int32_t, 3> hues;
};

constexpr std::array<VirtueRow, 8> kVirtues { {
    { 108, { 1153, 2403, 2405 } },
    { 110, { 1546, 1551, 42 } },
    { 105, { 2212, 2215, 52 } },
    { 111, { 2405, 2301, 1152 } },
    { 112, { 234, 2117, 32 } },
    { 107, { 17, 617, 317 } },
    { 109, { 2209, 2211, 66 } },
    { 106, { 1347, 1351, 97 } },
} };

// The messages name each virtue first plainly (1051000 + row) and then at
// each of the three steps, eight messages apart.
constexpr int32_t kFirstVirtueMessage = 1051000;
constexpr int32_t kVirtueStep = 8;

} // namespace

std::u16string localizedText(int32_t id)
{
    WString text;
    getClilocString(text, id, 0);
    return std::u16string(text.c_str() ? text.c_str() : u"", size_t(std::max(text.length(), 0)));
}

std::u16string virtueLabelText(int32_t art, int32_t hue)
{
    for (size_t row = 0; row < kVirtues.size(); ++row) {
        if (kVirtues[row].art != art)
            continue;
        int32_t message = kFirstVirtueMessage + int32_t(row);
        for (size_t step = 0; step < kVirtues[row].hues.size(); ++step) {
            if (kVirtues[row].hues[step] == hue) {
                message += kVirtueStep * int32_t(step + 1);
                break;
            }
        }
        return u" " + localizedText(message);
    }
    return u"INVALID";
}
