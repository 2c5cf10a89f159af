// The credits file from arbitrary text, read the way the roll reads it: every
// line within its length, every font one of the three, the songs within
// their cycle's capacity, and the cycle going round them (music ended)
// without leaving them. The defaults a file changes are put back between
// runs, as each run starts a new program.

#include "frontend/credits_screen.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    creditDefaults() = CreditDefaults {};
    std::vector<CreditLine> lines;
    IntCycle songs;
    parseCreditsText(std::string_view(reinterpret_cast<const char*>(data), size), lines, songs);
    if (lines.size() > size + 1)
        std::abort();
    for (const CreditLine& line : lines) {
        if (line.text.size() > 256 || line.font < 0 || line.font > 2)
            std::abort();
    }
    if (songs.count() < 0 || songs.count() > IntCycle::kCapacity)
        std::abort();
    if (songs.count() == 0 && (songs.current() != 0 || songs.next() != 0))
        std::abort();
    // Round the cycle twice: it comes back to where it started.
    const int32_t first = songs.current();
    for (int32_t i = 0; i < 2 * songs.count(); ++i)
        songs.next();
    if (songs.current() != first)
        std::abort();
    creditDefaults() = CreditDefaults {};
    return 0;
}
