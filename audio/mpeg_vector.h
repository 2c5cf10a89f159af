#pragma once
// Four-float vectors through the compiler's vector extension: plain C++ that
// GCC and Clang turn into SIMD instructions for whatever the target has,
// without assembly. Loads and stores are unaligned.

#include <cstring>

namespace mpeg {

typedef float Float4 __attribute__((vector_size(16)));

inline Float4 load4(const float* p)
{
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(float* p, Float4 v)
{
    std::memcpy(p, &v, sizeof v);
}

inline Float4 splat4(float value)
{
    return Float4 { value, value, value, value };
}

inline float sum4(Float4 v)
{
    return (v[0] + v[1]) + (v[2] + v[3]);
}

// The dot product of 16 consecutive floats.
inline float dot16(const float* a, const float* b)
{
    const Float4 sum = load4(a) * load4(b) + load4(a + 4) * load4(b + 4) + load4(a + 8) * load4(b + 8)
        + load4(a + 12) * load4(b + 12);
    return sum4(sum);
}

} // namespace mpeg
