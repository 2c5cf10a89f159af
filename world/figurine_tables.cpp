// The figurine graphics that stand for mobile bodies in icons. The table
// holds the bodies whose figurines are known here; any other body has none.
#include "world/multi_components.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Body, item graphic; sorted by body.
constexpr std::array<std::pair<int16_t, uint16_t>, 14> kFigurines = { {
    { 1, 8415 },
    { 2, 8408 },
    { 3, 9685 },
    { 4, 9613 },
    { 18, 8408 },
    { 135, 8415 },
    { 753, 9613 },
    { 754, 9613 },
    { 755, 9613 },
    { 758, 9613 },
    { 783, 9730 },
    { 804, 9730 },
    { 807, 9730 },
    { 808, 9730 },
} };

} // namespace

int32_t getFigurineGraphic(int32_t body)
{
    auto end = kFigurines.end();
    auto found = std::lower_bound(kFigurines.begin(), end, body,
        [](const std::pair<int16_t, uint16_t>& entry, int32_t value) { return entry.first < value; });
    return found != end && found->first == body ? found->second : 0;
}
