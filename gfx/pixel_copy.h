#pragma once
// A plain copy of a row of pixels, inline for the blitters whose rows are
// short (art runs, land diamond rows).

#include <cstdint>
#include <cstring>

// copySpan's work, inline for blitters that call it directly: sixteen bytes
// at a time, the last piece overlapping the one before, where the compiler
// would copy a pixel at a time (the source never overlaps the destination).
inline void copyPixels(uint16_t* destination, const uint16_t* source, int32_t count)
{
    typedef uint16_t Eight __attribute__((vector_size(16)));
    if (count >= 8) {
        Eight piece;
        for (int32_t i = 0; i + 8 < count; i += 8) {
            std::memcpy(&piece, source + i, sizeof piece);
            std::memcpy(destination + i, &piece, sizeof piece);
        }
        std::memcpy(&piece, source + count - 8, sizeof piece);
        std::memcpy(destination + count - 8, &piece, sizeof piece);
        return;
    }
    if (count >= 4) {
        uint64_t first;
        uint64_t last;
        std::memcpy(&first, source, sizeof first);
        std::memcpy(&last, source + count - 4, sizeof last);
        std::memcpy(destination, &first, sizeof first);
        std::memcpy(destination + count - 4, &last, sizeof last);
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        destination[i] = source[i];
}
