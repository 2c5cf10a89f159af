// Splits arbitrary bytes into "lightidx.mul" and "light.mul" and reads them:
// every shape given must lie within 0..31 and have exactly width x height
// strengths.
#include "world/light_files.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes say where the index ends.
    size_t split = std::min(size - 2, size_t(data[0] | (data[1] << 8)));
    std::span<const uint8_t> index(data + 2, split);
    std::span<const uint8_t> shapes(data + 2 + split, size - 2 - split);
    LightFiles files;
    files.load(index, shapes);
    for (int32_t id = -1; id <= LightFiles::kLightCount; ++id) {
        const LightShape* shape = files.shape(id);
        if (!shape)
            continue;
        if (id < 0 || id >= LightFiles::kLightCount)
            abort();
        if (shape->strengths.size() != size_t(shape->width) * size_t(shape->height) || shape->strengths.empty())
            abort();
        for (uint8_t strength : shape->strengths) {
            if (strength > 31)
                abort();
        }
    }
    return 0;
}
