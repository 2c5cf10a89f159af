#pragma once
// Four-float vectors through the compiler's vector extension: plain C++ that
// GCC and Clang turn into SIMD instructions for whatever the target has,
// without assembly. Loads and stores are unaligned.

#include <cstdint>
#include <cstring>

namespace mpeg {

typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));

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

} // namespace mpeg
