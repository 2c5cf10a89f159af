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

inline void store4(float* p, Float4 v) { std::memcpy(p, &v, sizeof v); }

inline Float4 splat4(float value) { return Float4 { value, value, value, value }; }

// Four rows of four values each, turned into four columns.
inline void transpose4(Float4& a, Float4& b, Float4& c, Float4& d)
{
    const Float4 ab0 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const Float4 ab1 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Float4 cd0 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const Float4 cd1 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    a = __builtin_shufflevector(ab0, cd0, 0, 1, 4, 5);
    b = __builtin_shufflevector(ab0, cd0, 2, 3, 6, 7);
    c = __builtin_shufflevector(ab1, cd1, 0, 1, 4, 5);
    d = __builtin_shufflevector(ab1, cd1, 2, 3, 6, 7);
}

} // namespace mpeg
