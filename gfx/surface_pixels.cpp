#include "gfx/surface_pixels.h"

#include <cstring>

namespace {

// Eight pixels at a time through the compiler's vector extension, which turns
// into the target's SIMD instructions; loads and stores are unaligned.
typedef uint16_t Narrow8 __attribute__((vector_size(16)));
constexpr int32_t kPixelLanes = 8;

template<typename V>
V load(const uint16_t* p)
{
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// 5-5-5 to 5-6-5: the green channel's new low bit is 0.
template<typename V>
V widenGreen(V p)
{
    return (p & 0x001F) | ((p & 0x7FE0) << 1);
}

template<typename V>
V narrowGreen(V p)
{
    return (p & 0x001F) | ((p >> 1) & 0x7FE0);
}

// To 32 bits: each channel's byte is its bits shifted to the top of the byte
// with their own top bits repeated below them. Worked in 16-bit lanes, blue
// and green in one word and red in another, which are then interleaved into
// the 32-bit pixels.
template<typename V>
V blueGreen555(V p)
{
    V high = ((p << 6) & 0xF800) | ((p << 3) & 0x00F8);
    return high | ((high >> 5) & 0x0707);
}

template<typename V>
V red555(V p)
{
    V high = (p >> 7) & 0x00F8;
    return high | (high >> 5);
}

template<typename V>
V blueGreen565(V p)
{
    V blue = (p << 3) & 0x00F8;
    V green = (p << 5) & 0xFC00;
    return green | ((green >> 6) & 0x0300) | blue | (blue >> 5);
}

template<typename V>
V red565(V p)
{
    V high = (p >> 8) & 0x00F8;
    return high | (high >> 5);
}

template<typename Convert>
void convert16(const uint16_t* source, int32_t count, uint8_t* destination, Convert convert)
{
    int32_t i = 0;
    for (; i + 2 * kPixelLanes <= count; i += 2 * kPixelLanes) {
        Narrow8 first = convert(load<Narrow8>(source + i));
        Narrow8 second = convert(load<Narrow8>(source + i + kPixelLanes));
        std::memcpy(destination + 2 * i, &first, sizeof first);
        std::memcpy(destination + 2 * i + sizeof first, &second, sizeof second);
    }
    for (; i + kPixelLanes <= count; i += kPixelLanes) {
        Narrow8 out = convert(load<Narrow8>(source + i));
        std::memcpy(destination + 2 * i, &out, sizeof out);
    }
    for (; i < count; ++i) {
        uint16_t out = uint16_t(convert(source[i]));
        std::memcpy(destination + 2 * i, &out, sizeof out);
    }
}

template<typename BlueGreen, typename Red>
void convert32(const uint16_t* source, int32_t count, uint8_t* destination, BlueGreen blueGreen, Red red)
{
    int32_t i = 0;
    for (; i + kPixelLanes <= count; i += kPixelLanes) {
        Narrow8 p = load<Narrow8>(source + i);
        Narrow8 low = blueGreen(p);
        Narrow8 high = red(p);
        // Little-endian 32-bit pixels: the blue-green word, then the red one.
        Narrow8 first = __builtin_shufflevector(low, high, 0, 8, 1, 9, 2, 10, 3, 11);
        Narrow8 second = __builtin_shufflevector(low, high, 4, 12, 5, 13, 6, 14, 7, 15);
        std::memcpy(destination + 4 * i, &first, sizeof first);
        std::memcpy(destination + 4 * i + sizeof first, &second, sizeof second);
    }
    for (; i < count; ++i) {
        uint32_t out = uint32_t(uint16_t(blueGreen(uint32_t(source[i])))) | uint32_t(red(uint32_t(source[i]))) << 16;
        std::memcpy(destination + 4 * i, &out, sizeof out);
    }
}

} // namespace

void writeSurfacePixels(
    const uint16_t* source, int32_t count, BufferFormat from, uint8_t* destination, platform::SurfaceFormat to)
{
    if (count <= 0)
        return;
    bool from565 = from == BufferFormat::Rgb565;
    switch (to) {
    case platform::SurfaceFormat::Rgb555:
        if (from565)
            convert16(source, count, destination, [](auto p) { return narrowGreen(p); });
        else
            std::memcpy(destination, source, size_t(count) * sizeof(uint16_t));
        return;
    case platform::SurfaceFormat::Rgb565:
        if (from565)
            std::memcpy(destination, source, size_t(count) * sizeof(uint16_t));
        else
            convert16(source, count, destination, [](auto p) { return widenGreen(p); });
        return;
    case platform::SurfaceFormat::Xrgb8888:
        if (from565)
            convert32(
                source, count, destination, [](auto p) { return blueGreen565(p); }, [](auto p) { return red565(p); });
        else
            convert32(
                source, count, destination, [](auto p) { return blueGreen555(p); }, [](auto p) { return red555(p); });
        return;
    }
}
