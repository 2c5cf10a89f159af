#pragma once
// Golden images of drawn text: a 5-5-5 surface is written as an 8-bit RGB PNG
// for a person to look at, and compared by a hash of its pixels (the PNG
// bytes themselves depend on the zlib in use).

#include <cstdint>
#include <string>

namespace test {

// True when the file was written.
bool writeTextPng(const std::string& path, const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height);
// FNV-1a over the width x height pixels, row by row, low byte first.
uint64_t textPixelHash(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height);
// Where goldens are written: the test binary's directory + "/goldens/" + name.
inline std::string textGoldenPath(const std::string& name)
{
#ifdef VARDUN_TEST_BINARY_DIR
    return std::string(VARDUN_TEST_BINARY_DIR) + "/goldens/" + name;
#else
    return "goldens/" + name;
#endif
}

} // namespace test
